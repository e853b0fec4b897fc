#include "server/storage/KeepStore.h"

#include "server/storage/Database.h"
#include "server/signin/RandomCode.h"
#include "server/storage/StorageError.h"
#include "server/storage/TreeScope.h"
#include "server/storage/WireRecords.h"

#include <QDateTime>
#include <QHash>
#include <QSqlQuery>

namespace server {

namespace {

// Counts are keyed "entry/chapter/node"; "entry//" is the whole entry and
// "entry/chapter/" the chapter's own questions outside its nodes.
QString countKey(const QString& entry, const QString& chapter = QString(), const QString& node = QString())
{
    return entry + QLatin1Char('/') + chapter + QLatin1Char('/') + node;
}

} // namespace

KeepStore::KeepStore(Database& db)
    : m_db(db)
{
}

bool KeepStore::add(const QString& userCode, const QString& subjectCode, Kind kind, const QString& questionCode,
                    const QString& answer)
{
    const auto home = questionHome(questionCode, subjectCode);
    if (!home)
        return false;
    const auto& [directoryCode, paperCode] = *home;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QVariantList item{questionCode, answer, now, userCode, subjectCode, int(kind), directoryCode, paperCode};
    const QVariantList entry{userCode, subjectCode, int(kind), directoryCode, paperCode, now};
    // The write may run after this returns (the reply waits for it), so it owns
    // what it uses.
    m_db.writeBeforeReply([db = &m_db, item, entry] {
        // One statement finds the entry and files the question under it: the entry
        // usually exists already, and the writer runs for everybody.
        const QString fileUnderEntry = QStringLiteral(
            "INSERT INTO keep_item (entry_code, question_code, answer, created) SELECT code, ?, ?, ? FROM keep_entry "
            "WHERE user_code = ? AND subject_code = ? AND kind = ? AND directory_code = ? AND paper_code = ? "
            "ON CONFLICT (entry_code, question_code) DO UPDATE SET answer = excluded.answer");
        if (db->update(fileUnderEntry, item) > 0)
            return;
        // Another server process may create the entry meanwhile, hence the
        // conflict clause.
        db->execute(QStringLiteral("INSERT INTO keep_entry (code, user_code, subject_code, kind, directory_code, paper_code, "
                                   "created) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT DO NOTHING"),
                    QVariantList{RandomCode::make()} + entry);
        if (db->update(fileUnderEntry, item) == 0)
            throw StorageError("the book entry could not be made");
    });
    return true;
}

std::optional<std::pair<QString, QString>> KeepStore::questionHome(const QString& questionCode, const QString& subjectCode)
{
    const QString key = subjectCode + QLatin1Char('/') + questionCode;
    {
        std::shared_lock lock(m_homesMutex);
        const auto it = m_homes.constFind(key);
        if (it != m_homes.constEnd())
            return *it;
    }
    QSqlQuery q = m_db.query(QStringLiteral("SELECT directory_code, paper_code FROM question WHERE code = ? AND subject_code = ?"),
                             {questionCode, subjectCode});
    if (!q.next())
        return std::nullopt;
    const QString directoryCode = q.value(0).toString();
    const QString paperCode = directoryCode.isEmpty() ? q.value(1).toString() : QString();
    q.finish();
    if (directoryCode.isEmpty() && paperCode.isEmpty())
        return std::nullopt;
    std::unique_lock lock(m_homesMutex);
    m_homes.insert(key, {directoryCode, paperCode});
    return std::make_pair(directoryCode, paperCode);
}

bool KeepStore::remove(const QString& userCode, const QString& subjectCode, const QString& entryCode,
                       const QString& questionCode)
{
    bool removed = false;
    m_db.write([&] {
        removed = m_db.update(QStringLiteral("DELETE FROM keep_item WHERE entry_code = ? AND question_code = ? AND entry_code IN "
                                             "(SELECT code FROM keep_entry WHERE code = ? AND user_code = ? AND subject_code = ?)"),
                              {entryCode, questionCode, entryCode, userCode, subjectCode})
            > 0;
        // An entry with nothing left would show as a row of 0 questions; drop it.
        m_db.execute(QStringLiteral("DELETE FROM keep_entry WHERE code = ? AND NOT EXISTS "
                                    "(SELECT 1 FROM keep_item WHERE entry_code = ?)"),
                     {entryCode, entryCode});
    });
    return removed;
}

void KeepStore::clear(const QString& userCode, const QString& subjectCode, Kind kind)
{
    m_db.write([&] {
        m_db.execute(QStringLiteral("DELETE FROM keep_item WHERE entry_code IN "
                                    "(SELECT code FROM keep_entry WHERE user_code = ? AND subject_code = ? AND kind = ?)"),
                     {userCode, subjectCode, int(kind)});
        m_db.execute(QStringLiteral("DELETE FROM keep_entry WHERE user_code = ? AND subject_code = ? AND kind = ?"),
                     {userCode, subjectCode, int(kind)});
    });
}

QJsonObject KeepStore::counts(const QString& userCode, const QString& subjectCode)
{
    QSqlQuery q = m_db.query(QStringLiteral("SELECT e.kind, COUNT(*) FROM keep_item i JOIN keep_entry e ON e.code = i.entry_code "
                                            "WHERE e.user_code = ? AND e.subject_code = ? GROUP BY e.kind"),
                             {userCode, subjectCode});
    int errors = 0;
    int keeps = 0;
    while (q.next())
        (q.value(0).toInt() == ErrorBook ? errors : keeps) = q.value(1).toInt();
    return QJsonObject{{"errorCount", errors}, {"keepCount", keeps}};
}

QJsonArray KeepStore::tree(const QString& userCode, const QString& subjectCode, Kind kind)
{
    QHash<QString, int> counts;
    {
        QSqlQuery q = m_db.query(QStringLiteral("SELECT i.entry_code, q.chapter_code, q.node_code, COUNT(*) FROM keep_item i "
                                                "JOIN keep_entry e ON e.code = i.entry_code JOIN question q ON q.code = i.question_code "
                                                "WHERE e.user_code = ? AND e.subject_code = ? AND e.kind = ? "
                                                "GROUP BY i.entry_code, q.chapter_code, q.node_code"),
                                 {userCode, subjectCode, int(kind)});
        while (q.next()) {
            const QString entry = q.value(0).toString();
            const QString chapter = q.value(1).toString();
            const int n = q.value(3).toInt();
            counts[countKey(entry)] += n;
            if (chapter.isEmpty())
                continue;
            counts[countKey(entry, chapter, QStringLiteral("*"))] += n;
            counts[countKey(entry, chapter, q.value(2).toString())] += n;
        }
    }
    QSqlQuery q = m_db.query(QStringLiteral("SELECT e.code, e.directory_code, e.paper_code, d.name, p.name FROM keep_entry e "
                                            "LEFT JOIN directory d ON d.code = e.directory_code "
                                            "LEFT JOIN paper p ON p.code = e.paper_code "
                                            "WHERE e.user_code = ? AND e.subject_code = ? AND e.kind = ? "
                                            "ORDER BY CASE WHEN e.directory_code <> '' THEN 0 ELSE 1 END, "
                                            "COALESCE(d.position, p.position, 0), e.code"),
                             {userCode, subjectCode, int(kind)});
    struct Entry {
        QString code, directory, paper, directoryName, paperName;
    };
    QList<Entry> entries;
    while (q.next())
        entries.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                        q.value(4).toString()});
    q.finish();
    QJsonArray result;
    for (const Entry& e : entries) {
        const int count = counts.value(countKey(e.code));
        if (count == 0)
            continue;
        QJsonObject record{{"count", count}, {"code", e.code}};
        if (!e.directory.isEmpty()) {
            record.insert("type", 1);
            record.insert("directory", WireRecords::directory(e.directory, e.directoryName));
            record.insert("chapters", directoryChapters(subjectCode, e.directory, e.code, counts));
        } else {
            record.insert("type", 0);
            record.insert("paper", WireRecords::paper(e.paper, e.paperName));
        }
        result.append(record);
    }
    return result;
}

QJsonArray KeepStore::directoryChapters(const QString& subjectCode, const QString& directoryCode, const QString& entryCode,
                                        const QHash<QString, int>& counts)
{
    // Only chapters and nodes that hold questions are listed: the client draws the
    // tree's last-row connectors from array positions, skipped rows included.
    QSqlQuery q = m_db.query(QStringLiteral("SELECT c.code, c.name, n.code, n.name FROM chapter c "
                                            "JOIN directory d ON d.code = c.directory_code "
                                            "LEFT JOIN node n ON n.chapter_code = c.code "
                                            "WHERE d.subject_code = ? AND c.directory_code = ? "
                                            "ORDER BY c.position, c.code, n.position, n.code"),
                             {subjectCode, directoryCode});
    QJsonArray chapters;
    QString current;
    QJsonObject chapter;
    QJsonArray nodes;
    auto flush = [&] {
        const int count = counts.value(countKey(entryCode, current, QStringLiteral("*")));
        if (current.isEmpty() || count == 0)
            return;
        chapters.append(QJsonObject{{"chapter", chapter}, {"count", count}, {"nodes", nodes}});
    };
    while (q.next()) {
        const QString chapterCode = q.value(0).toString();
        if (chapterCode != current) {
            flush();
            current = chapterCode;
            chapter = WireRecords::chapter(chapterCode, q.value(1).toString(), directoryCode);
            const QJsonObject own = WireRecords::node(QString(), QString(), chapterCode, directoryCode);
            nodes = QJsonArray{QJsonObject{{"node", own}, {"count", counts.value(countKey(entryCode, chapterCode))}}};
        }
        const QString nodeCode = q.value(2).toString();
        const int nodeCount = nodeCode.isEmpty() ? 0 : counts.value(countKey(entryCode, chapterCode, nodeCode));
        if (nodeCount > 0) {
            const QJsonObject node = WireRecords::node(nodeCode, q.value(3).toString(), chapterCode, directoryCode);
            nodes.append(QJsonObject{{"node", node}, {"count", nodeCount}});
        }
    }
    flush();
    return chapters;
}

bool KeepStore::ownsEntry(const QString& userCode, const QString& subjectCode, Kind kind, const QString& entryCode)
{
    return m_db.scalar(QStringLiteral("SELECT 1 FROM keep_entry WHERE code = ? AND user_code = ? AND subject_code = ? AND kind = ?"),
                       {entryCode, userCode, subjectCode, int(kind)})
        .isValid();
}

QStringList KeepStore::questions(const QString& entryCode, const TreeScope& scope, int limit, bool random)
{
    QVariantList binds{entryCode};
    binds << scope.binds() << limit;
    return m_db.column(QStringLiteral("SELECT q.code FROM keep_item i JOIN question q ON q.code = i.question_code "
                                      "WHERE i.entry_code = ?")
                           + scope.sqlCondition()
                           + (random ? QStringLiteral(" ORDER BY RANDOM()") : QStringLiteral(" ORDER BY q.position, q.code"))
                           + QStringLiteral(" LIMIT ?"),
                       binds);
}

} // namespace server
