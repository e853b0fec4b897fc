#include "server/storage/RecordStore.h"

#include "server/storage/Database.h"
#include "server/signin/RandomCode.h"

#include <QDateTime>
#include <QJsonObject>
#include <QSqlQuery>

#include <algorithm>

namespace server {

RecordStore::RecordStore(Database& db)
    : m_db(db)
{
}

QString RecordStore::storedCodes(const QStringList& questionCodes)
{
    return questionCodes.join(QLatin1Char(','));
}

void RecordStore::create(const QString& userCode, const QString& subjectCode, const QString& name, const QString& storedCodes)
{
    const qint64 created = nextStamp();
    // The stamp in front keeps new codes at the end of the code index, so a batch
    // of records dirties a few index pages rather than one per record; the random
    // part keeps the code unguessable.
    const QString code = RandomCode::afterStamp(created);
    Database& db = m_db;
    // The question list does not wait for its record to be stored; reads of
    // records wait for every record queued before them instead.
    m_db.writeLater([&db, code, userCode, subjectCode, name, storedCodes, created] {
        db.execute(QStringLiteral("INSERT INTO practice_record (code, user_code, subject_code, name, created, question_codes) "
                                  "VALUES (?, ?, ?, ?, ?, ?)"),
                   {code, userCode, subjectCode, name, created, storedCodes});
    });
}

qint64 RecordStore::nextStamp()
{
    // Microseconds, strictly increasing within the process, so that runs started
    // in the same instant still list in the order they came.
    const qint64 now = QDateTime::currentMSecsSinceEpoch() * 1000;
    qint64 last = m_lastStamp.load();
    qint64 next = 0;
    do {
        next = std::max(now, last + 1);
    } while (!m_lastStamp.compare_exchange_weak(last, next));
    return next;
}

QJsonArray RecordStore::list(const QString& userCode, const QString& subjectCode)
{
    m_db.awaitQueuedWrites();
    QSqlQuery q = m_db.query(QStringLiteral("SELECT code, name FROM practice_record WHERE user_code = ? AND subject_code = ? "
                                            "ORDER BY created DESC, code"),
                             {userCode, subjectCode});
    QJsonArray records;
    while (q.next())
        records.append(QJsonObject{{"code", q.value(0).toString()}, {"recordName", q.value(1).toString()}});
    return records;
}

std::optional<QStringList> RecordStore::questions(const QString& userCode, const QString& recordCode)
{
    m_db.awaitQueuedWrites();
    const QVariant codes = m_db.scalar(QStringLiteral("SELECT question_codes FROM practice_record WHERE code = ? AND user_code = ?"),
                                       {recordCode, userCode});
    if (!codes.isValid())
        return std::nullopt;
    return codes.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
}

} // namespace server
