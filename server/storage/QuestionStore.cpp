#include "server/storage/QuestionStore.h"

#include "server/storage/Database.h"
#include "server/storage/RecordStore.h"
#include "server/storage/TreeScope.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>

#include <algorithm>

namespace server {

namespace {

QString placeholders(qsizetype count)
{
    QStringList marks;
    marks.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        marks << QStringLiteral("?");
    return marks.join(QLatin1Char(','));
}

QVariantList toBinds(const QStringList& codes)
{
    QVariantList binds;
    binds.reserve(codes.size());
    for (const QString& code : codes)
        binds << code;
    return binds;
}

QString subKey(const QString& questionCode, int position)
{
    return questionCode + QLatin1Char('#') + QString::number(position);
}

} // namespace

QuestionStore::QuestionStore(Database& db)
    : m_db(db)
{
}

int QuestionStore::drawLimit(int examNum)
{
    if (examNum <= 0)
        return kMaxQuestions;
    return std::min(examNum, kMaxQuestions);
}

QStringList QuestionStore::codes(const QString& sql, const QVariantList& binds)
{
    return m_db.column(sql, binds);
}

QStringList QuestionStore::inScope(const QString& subjectCode, const TreeScope& scope, int limit, Order order)
{
    const QString orderBy = order == Order::Random ? QStringLiteral(" ORDER BY RANDOM()")
                                                   : QStringLiteral(" ORDER BY q.position, q.code");
    QVariantList binds{subjectCode};
    binds << scope.binds() << limit;
    return codes(QStringLiteral("SELECT q.code FROM question q WHERE q.subject_code = ?") + scope.sqlCondition()
                     + orderBy + QStringLiteral(" LIMIT ?"),
                 binds);
}

QuestionStore::PaperList QuestionStore::paper(const QString& subjectCode, const QString& paperCode)
{
    const QString key = subjectCode + QLatin1Char('/') + paperCode;
    {
        std::shared_lock lock(m_cacheMutex);
        const auto it = m_papers.constFind(key);
        if (it != m_papers.constEnd())
            return *it;
    }
    TreeScope scope;
    scope.paperCode = paperCode;
    const QStringList codes = inScope(subjectCode, scope, kMaxQuestions, Order::InOrder);
    const PaperList list{RecordStore::storedCodes(codes), recordsJson(codes)};
    // An unknown paper is not remembered: the cache holds only what the bank has.
    if (codes.isEmpty())
        return list;
    std::unique_lock lock(m_cacheMutex);
    m_papers.insert(key, list);
    return list;
}

QStringList QuestionStore::composedPaper(const QString& subjectCode, int limit)
{
    // A random draw from the whole subject, set out like a paper: by category.
    return codes(QStringLiteral("SELECT code FROM (SELECT code, category, position FROM question WHERE subject_code = ? "
                                "ORDER BY RANDOM() LIMIT ?) drawn ORDER BY category, position, code"),
                 {subjectCode, limit});
}

bool QuestionStore::belongsToSubject(const QString& questionCode, const QString& subjectCode)
{
    return m_db.scalar(QStringLiteral("SELECT 1 FROM question WHERE code = ? AND subject_code = ?"),
                       {questionCode, subjectCode})
        .isValid();
}

QJsonArray QuestionStore::load(const QStringList& codeList)
{
    const QString in = placeholders(codeList.size());
    const QVariantList binds = toBinds(codeList);

    QHash<QString, QJsonArray> options;
    {
        QSqlQuery q = m_db.query(QStringLiteral("SELECT question_code, sub_position, orderby, detail FROM question_option "
                                                "WHERE question_code IN (%1) ORDER BY question_code, sub_position, orderby")
                                     .arg(in),
                                 binds);
        while (q.next())
            options[subKey(q.value(0).toString(), q.value(1).toInt())].append(
                QJsonObject{{"orderby", q.value(2).toInt()}, {"detail", q.value(3).toString()}});
    }
    QHash<QString, QJsonArray> subs;
    {
        QSqlQuery q = m_db.query(QStringLiteral("SELECT question_code, position, category, detail, answer FROM sub_question "
                                                "WHERE question_code IN (%1) ORDER BY question_code, position")
                                     .arg(in),
                                 binds);
        while (q.next()) {
            const QString code = q.value(0).toString();
            subs[code].append(QJsonObject{{"category", q.value(2).toInt()},
                                          {"detail", q.value(3).toString()},
                                          {"answer", q.value(4).toString()},
                                          {"examOptions", options.value(subKey(code, q.value(1).toInt()))}});
        }
    }
    QHash<QString, QJsonObject> byCode;
    QSqlQuery q = m_db.query(QStringLiteral("SELECT code, category, detail, score, analysis, paper_code, directory_code, "
                                            "chapter_code, node_code FROM question WHERE code IN (%1)")
                                 .arg(in),
                             binds);
    while (q.next()) {
        const QString code = q.value(0).toString();
        const QJsonObject directory{{"code", q.value(6).toString()}};
        byCode.insert(code, QJsonObject{{"code", code},
                                        {"category", q.value(1).toInt()},
                                        {"detail", q.value(2).toString()},
                                        {"score", q.value(3).toDouble()},
                                        {"analyze", q.value(4).toString()},
                                        {"smallExams", subs.value(code)},
                                        {"TExamPaper", QJsonObject{{"code", q.value(5).toString()}}},
                                        {"TChapter", QJsonObject{{"code", q.value(7).toString()}, {"TDirectory", directory}}},
                                        {"TChapterNode", QJsonObject{{"code", q.value(8).toString()}}}});
    }
    QJsonArray records;
    for (const QJsonObject& record : std::as_const(byCode))
        records.append(record);
    return records;
}

QByteArray QuestionStore::recordsJson(const QStringList& codeList)
{
    QStringList missing;
    {
        std::shared_lock lock(m_cacheMutex);
        for (const QString& code : codeList) {
            if (!m_cache.contains(code))
                missing << code;
        }
    }
    if (!missing.isEmpty()) {
        const QJsonArray loaded = load(missing);
        std::unique_lock lock(m_cacheMutex);
        for (const QJsonValue& record : loaded)
            m_cache.insert(record[QLatin1String("code")].toString(), QJsonDocument(record.toObject()).toJson(QJsonDocument::Compact));
    }
    QByteArray out("[");
    std::shared_lock lock(m_cacheMutex);
    for (const QString& code : codeList) {
        const auto it = m_cache.constFind(code);
        if (it == m_cache.constEnd())
            continue;
        if (out.size() > 1)
            out += ',';
        out += *it;
    }
    out += ']';
    return out;
}

} // namespace server
