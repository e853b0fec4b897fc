#pragma once

class QJsonObject;
class QString;

namespace server {

class Database;

// Loads a question bank from its JSON form into an empty store, in one
// transaction; a store that already holds subjects is left alone.
class SeedLoader {
public:
    static constexpr const char* kSampleBank = ":/qbank/seed/sample-bank.json";

    explicit SeedLoader(Database& db);

    // false with a message when the file is unreadable or not a bank.
    bool loadIfEmpty(const QString& path, QString* error);
    bool loadIfEmpty(const QJsonObject& bank, QString* error);

private:
    void loadSubject(const QJsonObject& subject, const QString& typeCode, int position);
    void loadDirectory(const QJsonObject& directory, const QString& subjectCode, int position);
    void loadQuestion(const QJsonObject& question, const QString& subjectCode, int position);

    Database& m_db;
};

} // namespace server
