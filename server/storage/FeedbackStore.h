#pragma once

class QString;

namespace server {

class Database;

// Feedback the users send; kept for people to read, never served back.
class FeedbackStore {
public:
    explicit FeedbackStore(Database& db);

    void add(const QString& userAccount, const QString& remark, const QString& contact);

private:
    Database& m_db;
};

} // namespace server
