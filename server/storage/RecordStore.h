#pragma once

#include <QJsonArray>
#include <QStringList>

#include <atomic>
#include <optional>

namespace server {

class Database;

// Practice records: the question list of a run, kept under the run's title so
// that it can be listed and replayed in the same order. Filing a record does
// not hold up the question list it belongs to; listing waits for it.
class RecordStore {
public:
    explicit RecordStore(Database& db);

    // A run's question codes as a record stores them: joined by commas.
    static QString storedCodes(const QStringList& questionCodes);
    // Files a run; `storedCodes` are its questions as storedCodes() joins them.
    void create(const QString& userCode, const QString& subjectCode, const QString& name, const QString& storedCodes);
    // Newest first: code and recordName.
    QJsonArray list(const QString& userCode, const QString& subjectCode);
    // The record's questions in their recorded order; nullopt when the record is
    // not the user's.
    std::optional<QStringList> questions(const QString& userCode, const QString& recordCode);

private:
    qint64 nextStamp();

    Database& m_db;
    std::atomic<qint64> m_lastStamp{0};
};

} // namespace server
