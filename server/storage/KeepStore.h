#pragma once

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>

#include <optional>
#include <shared_mutex>
#include <utility>

namespace server {

class Database;
class TreeScope;

// Per-user error books and favourites. A question is filed under an entry for its
// directory (questions of the chapter tree) or for its paper; the entry's code is
// what the client later sends back to practise or delete from that entry.
class KeepStore {
public:
    enum Kind { ErrorBook = 0, Favourites = 1 };

    explicit KeepStore(Database& db);

    // Adds the question (keeping the newest answer when it is already held);
    // false when the question is not one of the subject's.
    bool add(const QString& userCode, const QString& subjectCode, Kind kind, const QString& questionCode,
             const QString& answer);
    // Removes the question from the user's entry; false when nothing matched.
    bool remove(const QString& userCode, const QString& subjectCode, const QString& entryCode,
                const QString& questionCode);
    void clear(const QString& userCode, const QString& subjectCode, Kind kind);
    QJsonObject counts(const QString& userCode, const QString& subjectCode);
    QJsonArray tree(const QString& userCode, const QString& subjectCode, Kind kind);
    bool ownsEntry(const QString& userCode, const QString& subjectCode, Kind kind, const QString& entryCode);
    QStringList questions(const QString& entryCode, const TreeScope& scope, int limit, bool random);

private:
    // The entry a question is filed under: its directory, or else its paper.
    std::optional<std::pair<QString, QString>> questionHome(const QString& questionCode, const QString& subjectCode);
    QJsonArray directoryChapters(const QString& subjectCode, const QString& directoryCode, const QString& entryCode,
                                 const QHash<QString, int>& counts);

    Database& m_db;
    // Questions never move once the bank is loaded.
    std::shared_mutex m_homesMutex;
    QHash<QString, std::pair<QString, QString>> m_homes;
};

} // namespace server
