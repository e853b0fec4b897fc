#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QStringList>

#include <shared_mutex>

namespace server {

class Database;
class TreeScope;

// Drawing question lists and turning question codes into the records the practice
// screen reads (with sub-questions, options and parents).
class QuestionStore {
public:
    // The practice screen tags views by question index and needs fewer than 500.
    static constexpr int kMaxQuestions = 499;
    enum class Order { InOrder, Random };

    explicit QuestionStore(Database& db);

    // A draw count of 0 or less means "as many as allowed".
    static int drawLimit(int examNum);

    QStringList inScope(const QString& subjectCode, const TreeScope& scope, int limit, Order order);
    // A paper's question list, built once per paper: what a request for it needs.
    struct PaperList {
        // The questions' codes in order as a practice record stores them
        // (RecordStore::storedCodes); empty for an unknown paper.
        QString storedCodes;
        // The reply: recordsJson() of the questions.
        QByteArray json;
    };
    PaperList paper(const QString& subjectCode, const QString& paperCode);
    QStringList composedPaper(const QString& subjectCode, int limit);
    bool belongsToSubject(const QString& questionCode, const QString& subjectCode);
    // The question records as a compact JSON array, in the order of codes;
    // unknown codes are left out.
    QByteArray recordsJson(const QStringList& codes);

private:
    QStringList codes(const QString& sql, const QVariantList& binds);
    QJsonArray load(const QStringList& codes);

    Database& m_db;
    // Questions and papers never change once the bank is loaded, so each question
    // is turned into JSON once, and each paper's list read once, and served from
    // here afterwards.
    std::shared_mutex m_cacheMutex;
    QHash<QString, QByteArray> m_cache;
    QHash<QString, PaperList> m_papers;
};

} // namespace server
