#pragma once

#include "server/storage/AccountStore.h"
#include "server/storage/CatalogStore.h"
#include "server/storage/FeedbackStore.h"
#include "server/storage/KeepStore.h"
#include "server/storage/QuestionStore.h"
#include "server/storage/RecordStore.h"

#include <QHash>
#include <QString>

#include <string>

namespace server {

class Database;
class FormBody;
struct HttpRequest;
class Reply;
class TreeScope;

// Maps every path under /PendarWeb/ to a handler. Each handler reads its form
// fields, checks them before writing anything, and answers in the exact form the
// client reads: bare text or JSON.
class Api {
public:
    static constexpr const char* kBasePath = "/PendarWeb/";

    // Bodies above this are refused with 413, whether sent with a length or in chunks.
    static constexpr size_t kMaxBody = 1024 * 1024;

    // `publicUrl` is the server's address as clients reach it ("http://host:port"); pages
    // it hands out (the agreement) are built from it, never from a request's Host header.
    // `throttleClock`: what the sign-in and registration throttles read as now.
    Api(Database& db, QString publicUrl, const ThrottleClock& throttleClock = {});

    // Answers one request of the HTTP layer: POSTs under the base path go to
    // dispatch(), the agreement page is served to GETs, anything else is 404.
    Reply serve(const HttpRequest& request);
    // Runs one request through the table and turns every failure into its reply.
    // `peer` is the client's address.
    Reply dispatch(const std::string& path, const std::string& body, const QString& peer = QString());

private:
    using Handler = Reply (Api::*)(const FormBody&);

    Reply checkGuest(const FormBody& form);
    Reply login(const FormBody& form, const QString& peer);
    Reply registerUser(const FormBody& form, const QString& peer);
    Reply agreementList();
    Reply feedbackAdd(const FormBody& form);
    Reply subjectTypeList(const FormBody& form);
    Reply paperList(const FormBody& form);
    Reply paperExamList(const FormBody& form);
    Reply chapterExamList(const FormBody& form);
    Reply testPaperExamList(const FormBody& form);
    Reply errorPaperExamList(const FormBody& form);
    Reply errorChapterExamList(const FormBody& form);
    Reply recordExamList(const FormBody& form);
    Reply errorKeepAdd(const FormBody& form);
    Reply deleteExam(const FormBody& form);
    Reply directoryList(const FormBody& form);
    Reply clearAll(const FormBody& form);
    Reply errorKeepCount(const FormBody& form);
    Reply recordList(const FormBody& form);
    Reply noteDirectoryList(const FormBody& form);
    Reply noteGet(const FormBody& form);

    QString requireUser(const FormBody& form, const QString& key);
    QString requireSubject(const FormBody& form);
    KeepStore::Kind requireKeepEntry(const FormBody& form, const QString& user, const QString& subject);
    // Answers a question list and, when the request names the run, records it.
    Reply questionList(const FormBody& form, const QString& user, const QString& subject, const QStringList& codes);
    // storedCodes: the run's questions as RecordStore::storedCodes() joins them.
    void fileRecord(const FormBody& form, const QString& user, const QString& subject, const QString& storedCodes);

    QHash<QString, Handler> m_handlers;
    QString m_publicUrl;
    QByteArray m_agreementPage;
    AccountStore m_accounts;
    CatalogStore m_catalog;
    QuestionStore m_questions;
    KeepStore m_keeps;
    RecordStore m_records;
    FeedbackStore m_feedback;
};

} // namespace server
