#include "server/storage/SeedLoader.h"

#include "server/storage/Database.h"
#include "server/storage/StorageError.h"
#include "server/storage/Transaction.h"

#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace server {

namespace {

QString text(const QJsonObject& object, const char* key)
{
    return object.value(QLatin1String(key)).toString();
}

} // namespace

SeedLoader::SeedLoader(Database& db)
    : m_db(db)
{
}

bool SeedLoader::loadIfEmpty(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1").arg(path);
        return false;
    }
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (!document.isObject()) {
        *error = QStringLiteral("%1: %2").arg(path, parseError.errorString());
        return false;
    }
    return loadIfEmpty(document.object(), error);
}

bool SeedLoader::loadIfEmpty(const QJsonObject& bank, QString* error)
{
    try {
        Transaction tx(m_db);
        if (m_db.scalar(QStringLiteral("SELECT 1 FROM subject_type")).isValid())
            return true;
        const QJsonArray types = bank.value(QLatin1String("subjectTypes")).toArray();
        for (int t = 0; t < types.size(); ++t) {
            const QJsonObject type = types.at(t).toObject();
            const QString code = text(type, "code");
            m_db.execute(QStringLiteral("INSERT INTO subject_type (code, name, position) VALUES (?, ?, ?)"),
                         {code, text(type, "name"), t});
            const QJsonArray subjects = type.value(QLatin1String("subjects")).toArray();
            for (int s = 0; s < subjects.size(); ++s)
                loadSubject(subjects.at(s).toObject(), code, s);
        }
        tx.commit();
    } catch (const StorageError& e) {
        *error = QStringLiteral("seed failed: %1").arg(QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

void SeedLoader::loadSubject(const QJsonObject& subject, const QString& typeCode, int position)
{
    const QString code = text(subject, "code");
    m_db.execute(QStringLiteral("INSERT INTO subject (code, type_code, name, position) VALUES (?, ?, ?, ?)"),
                 {code, typeCode, text(subject, "name"), position});
    const QJsonArray directories = subject.value(QLatin1String("directories")).toArray();
    for (int d = 0; d < directories.size(); ++d)
        loadDirectory(directories.at(d).toObject(), code, d);
    const QJsonArray papers = subject.value(QLatin1String("papers")).toArray();
    for (int p = 0; p < papers.size(); ++p) {
        const QJsonObject paper = papers.at(p).toObject();
        const int kind = text(paper, "kind") == QLatin1String("sprint") ? 1 : 0;
        m_db.execute(QStringLiteral("INSERT INTO paper (code, subject_code, name, kind, difficulty, position) VALUES (?, ?, ?, ?, ?, ?)"),
                     {text(paper, "code"), code, text(paper, "name"), kind, paper.value(QLatin1String("difficulty")).toDouble(), p});
    }
    const QJsonArray questions = subject.value(QLatin1String("questions")).toArray();
    for (int q = 0; q < questions.size(); ++q)
        loadQuestion(questions.at(q).toObject(), code, q);
}

void SeedLoader::loadDirectory(const QJsonObject& directory, const QString& subjectCode, int position)
{
    const QString code = text(directory, "code");
    m_db.execute(QStringLiteral("INSERT INTO directory (code, subject_code, name, position) VALUES (?, ?, ?, ?)"),
                 {code, subjectCode, text(directory, "name"), position});
    const QJsonArray chapters = directory.value(QLatin1String("chapters")).toArray();
    for (int c = 0; c < chapters.size(); ++c) {
        const QJsonObject chapter = chapters.at(c).toObject();
        const QString chapterCode = text(chapter, "code");
        m_db.execute(QStringLiteral("INSERT INTO chapter (code, directory_code, name, position, note) VALUES (?, ?, ?, ?, ?)"),
                     {chapterCode, code, text(chapter, "name"), c, text(chapter, "note")});
        const QJsonArray nodes = chapter.value(QLatin1String("nodes")).toArray();
        for (int n = 0; n < nodes.size(); ++n) {
            const QJsonObject node = nodes.at(n).toObject();
            m_db.execute(QStringLiteral("INSERT INTO node (code, chapter_code, name, position) VALUES (?, ?, ?, ?)"),
                         {text(node, "code"), chapterCode, text(node, "name"), n});
        }
    }
}

void SeedLoader::loadQuestion(const QJsonObject& question, const QString& subjectCode, int position)
{
    const QString code = text(question, "code");
    const QString chapterCode = text(question, "chapter");
    const QString nodeCode = text(question, "node");
    const QString paperCode = text(question, "paper");
    // Practice records keep question codes joined by commas.
    if (code.isEmpty() || code.contains(QLatin1Char(',')))
        throw StorageError("question code missing or holding a comma: " + code.toStdString());
    if (chapterCode.isEmpty() == paperCode.isEmpty())
        throw StorageError("question " + code.toStdString() + " must name a chapter or a paper");
    const QString directoryCode = chapterCode.isEmpty()
        ? QString()
        : m_db.scalar(QStringLiteral("SELECT d.code FROM chapter c JOIN directory d ON d.code = c.directory_code "
                                     "WHERE c.code = ? AND d.subject_code = ?"),
                      {chapterCode, subjectCode})
              .toString();
    if (!chapterCode.isEmpty() && directoryCode.isEmpty())
        throw StorageError("question " + code.toStdString() + " names an unknown chapter");
    if (!nodeCode.isEmpty() && !m_db.scalar(QStringLiteral("SELECT 1 FROM node WHERE code = ? AND chapter_code = ?"), {nodeCode, chapterCode}).isValid())
        throw StorageError("question " + code.toStdString() + " names a node outside its chapter");
    if (!paperCode.isEmpty() && !m_db.scalar(QStringLiteral("SELECT 1 FROM paper WHERE code = ? AND subject_code = ?"), {paperCode, subjectCode}).isValid())
        throw StorageError("question " + code.toStdString() + " names an unknown paper");
    const int category = question.value(QLatin1String("category")).toInt();
    m_db.execute(QStringLiteral("INSERT INTO question (code, subject_code, paper_code, directory_code, chapter_code, node_code, "
                                "position, category, detail, score, analysis) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                 {code, subjectCode, paperCode, directoryCode, chapterCode, nodeCode, position,
                  category, text(question, "detail"), question.value(QLatin1String("score")).toDouble(1.0),
                  text(question, "analyze")});
    // A question without "parts" is its own single part.
    QJsonArray parts = question.value(QLatin1String("parts")).toArray();
    if (parts.isEmpty())
        parts.append(QJsonObject{{"category", category}, {"detail", ""}, {"answer", question.value(QLatin1String("answer"))},
                                 {"options", question.value(QLatin1String("options"))}});
    for (int p = 0; p < parts.size(); ++p) {
        const QJsonObject part = parts.at(p).toObject();
        m_db.execute(QStringLiteral("INSERT INTO sub_question (question_code, position, category, detail, answer) VALUES (?, ?, ?, ?, ?)"),
                     {code, p, part.value(QLatin1String("category")).toInt(), text(part, "detail"), text(part, "answer")});
        const QJsonArray options = part.value(QLatin1String("options")).toArray();
        for (int o = 0; o < options.size(); ++o)
            m_db.execute(QStringLiteral("INSERT INTO question_option (question_code, sub_position, orderby, detail) VALUES (?, ?, ?, ?)"),
                         {code, p, o, options.at(o).toString()});
    }
}

} // namespace server
