#include "server/storage/CatalogStore.h"

#include "server/storage/Database.h"
#include "server/storage/WireRecords.h"

#include <QHash>
#include <QJsonObject>
#include <QSqlQuery>

namespace server {

CatalogStore::CatalogStore(Database& db)
    : m_db(db)
{
}

bool CatalogStore::subjectExists(const QString& subjectCode)
{
    return m_db.scalar(QStringLiteral("SELECT 1 FROM subject WHERE code = ?"), {subjectCode}).isValid();
}

QJsonArray CatalogStore::subjectTypes()
{
    QSqlQuery q = m_db.query(QStringLiteral(
        "SELECT t.code, t.name, s.code, s.name FROM subject_type t LEFT JOIN subject s ON s.type_code = t.code "
        "ORDER BY t.position, t.code, s.position, s.code"));
    QJsonArray types;
    QJsonObject current;
    QJsonArray subjects;
    QString currentCode;
    auto flush = [&] {
        if (currentCode.isNull())
            return;
        current.insert("TSubjects", subjects);
        types.append(current);
    };
    while (q.next()) {
        const QString typeCode = q.value(0).toString();
        if (typeCode != currentCode) {
            flush();
            currentCode = typeCode;
            current = QJsonObject{{"code", typeCode}, {"typeName", q.value(1).toString()}};
            subjects = QJsonArray();
        }
        if (!q.value(2).isNull())
            subjects.append(QJsonObject{{"code", q.value(2).toString()}, {"subjectName", q.value(3).toString()}});
    }
    flush();
    return types;
}

QJsonArray CatalogStore::papers(const QString& subjectCode, int kind)
{
    QSqlQuery q = m_db.query(
        QStringLiteral("SELECT code, name, difficulty FROM paper WHERE subject_code = ? AND kind = ? ORDER BY position, code"),
        {subjectCode, kind == 0 ? 0 : 1});
    QJsonArray papers;
    while (q.next()) {
        QJsonObject paper = WireRecords::paper(q.value(0).toString(), q.value(1).toString());
        paper.insert("difficulty", q.value(2).toDouble());
        papers.append(paper);
    }
    return papers;
}

QJsonArray CatalogStore::chapterTree(const QString& subjectCode)
{
    // Question counts per (chapter, node); an empty node code is the chapter's own.
    QHash<QString, int> counts;
    {
        QSqlQuery q = m_db.query(QStringLiteral(
                                     "SELECT chapter_code, node_code, COUNT(*) FROM question "
                                     "WHERE subject_code = ? AND chapter_code <> '' GROUP BY chapter_code, node_code"),
                                 {subjectCode});
        while (q.next())
            counts.insert(q.value(0).toString() + QLatin1Char('/') + q.value(1).toString(), q.value(2).toInt());
    }
    QHash<QString, QJsonArray> nodesByChapter;
    {
        QSqlQuery q = m_db.query(QStringLiteral(
                                     "SELECT n.code, n.name, c.code, c.directory_code FROM node n "
                                     "JOIN chapter c ON c.code = n.chapter_code JOIN directory d ON d.code = c.directory_code "
                                     "WHERE d.subject_code = ? ORDER BY n.position, n.code"),
                                 {subjectCode});
        while (q.next()) {
            const QString chapterCode = q.value(2).toString();
            QJsonObject node = WireRecords::node(q.value(0).toString(), q.value(1).toString(), chapterCode,
                                                 q.value(3).toString());
            node.insert("count", counts.value(chapterCode + QLatin1Char('/') + q.value(0).toString()));
            nodesByChapter[chapterCode].append(node);
        }
    }
    QHash<QString, QJsonArray> chaptersByDirectory;
    {
        QSqlQuery q = m_db.query(QStringLiteral(
                                     "SELECT c.code, c.name, c.directory_code FROM chapter c "
                                     "JOIN directory d ON d.code = c.directory_code WHERE d.subject_code = ? "
                                     "ORDER BY c.position, c.code"),
                                 {subjectCode});
        while (q.next()) {
            const QString code = q.value(0).toString();
            const QString directoryCode = q.value(2).toString();
            QJsonObject own = WireRecords::node(QString(), QString(), code, directoryCode);
            own.insert("count", counts.value(code + QLatin1Char('/')));
            QJsonArray nodes{own};
            for (const QJsonValue& node : nodesByChapter.value(code))
                nodes.append(node);
            QJsonObject chapter = WireRecords::chapter(code, q.value(1).toString(), directoryCode);
            chapter.insert("nodes", nodes);
            chaptersByDirectory[directoryCode].append(chapter);
        }
    }
    QSqlQuery q = m_db.query(
        QStringLiteral("SELECT code, name FROM directory WHERE subject_code = ? ORDER BY position, code"), {subjectCode});
    QJsonArray directories;
    while (q.next()) {
        QJsonObject directory = WireRecords::directory(q.value(0).toString(), q.value(1).toString());
        directory.insert("chapters", chaptersByDirectory.value(q.value(0).toString()));
        directories.append(directory);
    }
    return directories;
}

QJsonArray CatalogStore::noteDirectories(const QString& subjectCode)
{
    QHash<QString, QJsonArray> chapters;
    {
        QSqlQuery q = m_db.query(QStringLiteral(
                                     "SELECT c.code, c.name, c.directory_code FROM chapter c "
                                     "JOIN directory d ON d.code = c.directory_code WHERE d.subject_code = ? "
                                     "ORDER BY c.position, c.code"),
                                 {subjectCode});
        while (q.next())
            chapters[q.value(2).toString()].append(QJsonObject{{"code", q.value(0).toString()}, {"name", q.value(1).toString()}});
    }
    QSqlQuery q = m_db.query(
        QStringLiteral("SELECT code, name FROM directory WHERE subject_code = ? ORDER BY position, code"), {subjectCode});
    QJsonArray directories;
    while (q.next()) {
        const QString code = q.value(0).toString();
        directories.append(QJsonObject{{"code", code}, {"name", q.value(1).toString()}, {"chapters", chapters.value(code)}});
    }
    return directories;
}

std::optional<QJsonObject> CatalogStore::note(const QString& subjectCode, const QString& chapterCode)
{
    QSqlQuery q = m_db.query(QStringLiteral(
                                 "SELECT c.code, c.name, c.note FROM chapter c JOIN directory d ON d.code = c.directory_code "
                                 "WHERE d.subject_code = ? AND c.code = ?"),
                             {subjectCode, chapterCode});
    if (!q.next())
        return std::nullopt;
    const QJsonObject data{{"code", q.value(0).toString()}, {"name", q.value(1).toString()}, {"remark", q.value(2).toString()}};
    return QJsonObject{{"data", data}};
}

} // namespace server
