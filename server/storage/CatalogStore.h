#pragma once

#include <QJsonArray>
#include <QString>

#include <optional>

namespace server {

class Database;

// The read-only content of the bank: subject groups, papers, the chapter tree with
// its question counts, and chapter notes.
class CatalogStore {
public:
    explicit CatalogStore(Database& db);

    bool subjectExists(const QString& subjectCode);
    QJsonArray subjectTypes();
    // kind 0 past papers, any other sprint papers.
    QJsonArray papers(const QString& subjectCode, int kind);
    // Directories, chapters and nodes; element 0 of each chapter's nodes stands for
    // the chapter itself and counts the questions held outside its nodes.
    QJsonArray chapterTree(const QString& subjectCode);
    QJsonArray noteDirectories(const QString& subjectCode);
    // The chapter's note, or nullopt when the chapter is not in the subject.
    std::optional<QJsonObject> note(const QString& subjectCode, const QString& chapterCode);

private:
    Database& m_db;
};

} // namespace server
