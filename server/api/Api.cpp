#include "server/api/Api.h"

#include "server/http/FormBody.h"
#include "server/http/HttpRequest.h"
#include "server/http/Reply.h"
#include "server/http/RequestError.h"
#include "server/storage/StorageError.h"
#include "server/storage/TreeScope.h"
#include "server/http/WouldBlock.h"

#include <QFile>
#include <QJsonObject>


namespace server {

namespace {

const QString kAgreementPath = QStringLiteral("exam/pactUrl_list");
// Answered with the peer's address, for bounding guesses and registrations per place.
const QString kLoginPath = QStringLiteral("user/login");
const QString kRegisterPath = QStringLiteral("user/register");
const char* const kAgreementPage = "agreement.html";

// The three wire forms of the book kind, one per path.
KeepStore::Kind keepKind(const QString& value, const QString& errorBook, const QString& favourites)
{
    if (value == errorBook)
        return KeepStore::ErrorBook;
    if (value == favourites)
        return KeepStore::Favourites;
    throw RequestError(400, "unknown book kind " + value.toStdString());
}

QByteArray agreementPage()
{
    QFile file(QStringLiteral(":/qbank/seed/agreement.html"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace

Api::Api(Database& db, QString publicUrl, const ThrottleClock& throttleClock)
    : m_publicUrl(std::move(publicUrl))
    , m_agreementPage(agreementPage())
    , m_accounts(db, throttleClock)
    , m_catalog(db)
    , m_questions(db)
    , m_keeps(db)
    , m_records(db)
    , m_feedback(db)
{
    m_handlers = {
        {"exam/checkyk", &Api::checkGuest},
        {"exam/feedback_add", &Api::feedbackAdd},
        {"exam/subject_type_list", &Api::subjectTypeList},
        {"exam/paper_list", &Api::paperList},
        {"exam/paper_exam_list", &Api::paperExamList},
        {"exam/chapter_exam_list", &Api::chapterExamList},
        {"exam/testPaper_exam_list", &Api::testPaperExamList},
        {"exam/error_paper_exam_list", &Api::errorPaperExamList},
        {"exam/error_chapter_exam_list", &Api::errorChapterExamList},
        {"exam/record_exam_list", &Api::recordExamList},
        {"exam/error_keep_add", &Api::errorKeepAdd},
        {"exam/delexam", &Api::deleteExam},
        {"exam/directory_list", &Api::directoryList},
        {"exam/celarall", &Api::clearAll},
        {"exam/error_keep_count", &Api::errorKeepCount},
        {"exam/record_list", &Api::recordList},
        {"exam/note_directory_list", &Api::noteDirectoryList},
        {"exam/note_get", &Api::noteGet},
    };
}

Reply Api::serve(const HttpRequest& request)
{
    const std::string_view base = kBasePath;
    const std::string_view path = request.path;
    if (!path.starts_with(base))
        return Reply::error(404, "no such path");
    const std::string_view below = path.substr(base.size());
    if (request.method == HttpRequest::Method::Post)
        return dispatch(std::string(below), request.body, request.peer);
    if (request.method == HttpRequest::Method::Get && below == kAgreementPage)
        return Reply::html(m_agreementPage);
    return Reply::error(404, "no such path");
}

Reply Api::dispatch(const std::string& path, const std::string& body, const QString& peer)
{
    const QString key = QString::fromStdString(path);
    const auto handler = m_handlers.constFind(key);
    if (handler == m_handlers.constEnd() && key != kAgreementPath && key != kLoginPath && key != kRegisterPath)
        return Reply::error(404, "no such path");
    const auto form = FormBody::parse(body);
    if (!form)
        return Reply::error(400, "malformed form body");
    try {
        if (key == kAgreementPath)
            return agreementList();
        if (key == kLoginPath)
            return login(*form, peer);
        if (key == kRegisterPath)
            return registerUser(*form, peer);
        return (this->**handler)(*form);
    } catch (const WouldBlock&) {
        // Not a failure: the request is run again where it may wait.
        throw;
    } catch (...) {
        return Reply::failure(std::current_exception(), path);
    }
}

QString Api::requireUser(const FormBody& form, const QString& key)
{
    const QString user = form.required(key);
    if (!m_accounts.exists(user))
        throw RequestError(403, "unknown user");
    return user;
}

QString Api::requireSubject(const FormBody& form)
{
    return form.required(QStringLiteral("subjectCode"));
}

Reply Api::checkGuest(const FormBody&)
{
    // "0" asks the client to create a guest account when it holds none.
    return Reply::text(QStringLiteral("0"));
}

Reply Api::login(const FormBody& form, const QString& peer)
{
    const QString account = form.required(QStringLiteral("account"));
    const QString password = form.required(QStringLiteral("pwd"));
    const auto result = m_accounts.login(account, password, peer);
    switch (result.outcome) {
    case AccountStore::SignIn::Accepted:
        return Reply::json(result.account);
    case AccountStore::SignIn::Throttled:
        return Reply::error(429, "too many sign-in attempts for this account; try again in a few seconds");
    case AccountStore::SignIn::Busy:
        return Reply::error(503, "too many sign-ins at once; try again shortly");
    case AccountStore::SignIn::Wrong:
        break;
    }
    // An empty body is how the client learns of wrong credentials.
    return Reply::text(QString());
}

Reply Api::registerUser(const FormBody& form, const QString& peer)
{
    const QString account = form.required(QStringLiteral("account"));
    const QString password = form.required(QStringLiteral("pwd"));
    const auto result = m_accounts.registerAccount(account, password, peer);
    switch (result.outcome) {
    case AccountStore::Registration::Created:
        return Reply::json(result.account);
    case AccountStore::Registration::NameTaken:
        return Reply::text(QStringLiteral("2"));
    case AccountStore::Registration::Throttled:
        return Reply::error(429, "too many registrations from this address; try again later");
    case AccountStore::Registration::Busy:
        return Reply::error(503, "too many registrations at once; try again shortly");
    case AccountStore::Registration::Refused:
        break;
    }
    return Reply::text(QStringLiteral("1"));
}

Reply Api::agreementList()
{
    const QString url = m_publicUrl + QString::fromLatin1(kBasePath) + QString::fromLatin1(kAgreementPage);
    return Reply::json(QJsonArray{QJsonObject{{"pactUrl", url}}});
}

Reply Api::feedbackAdd(const FormBody& form)
{
    const QString remark = form.required(QStringLiteral("rmark"));
    const QString contact = form.required(QStringLiteral("contact"));
    const QString account = form.required(QStringLiteral("userAccount"));
    m_feedback.add(account, remark, contact);
    return Reply::text(QStringLiteral("1"));
}

Reply Api::subjectTypeList(const FormBody&)
{
    return Reply::json(m_catalog.subjectTypes());
}

Reply Api::paperList(const FormBody& form)
{
    const int kind = form.requiredInt(QStringLiteral("examType"));
    return Reply::json(m_catalog.papers(requireSubject(form), kind));
}

void Api::fileRecord(const FormBody& form, const QString& user, const QString& subject, const QString& storedCodes)
{
    const auto remark = form.value(QStringLiteral("record_remark"));
    if (remark && !storedCodes.isEmpty())
        m_records.create(user, subject, *remark, storedCodes);
}

Reply Api::questionList(const FormBody& form, const QString& user, const QString& subject, const QStringList& codes)
{
    fileRecord(form, user, subject, RecordStore::storedCodes(codes));
    return Reply::json(m_questions.recordsJson(codes));
}

Reply Api::paperExamList(const FormBody& form)
{
    const QString paper = form.required(QStringLiteral("paperCode"));
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    if (paper.isEmpty())
        throw RequestError(400, "empty paper code");
    // The paper's list and its codes as a record stores them are built once.
    const QuestionStore::PaperList list = m_questions.paper(subject, paper);
    fileRecord(form, user, subject, list.storedCodes);
    return Reply::json(list.json);
}

Reply Api::chapterExamList(const FormBody& form)
{
    const int order = form.requiredInt(QStringLiteral("type"));
    const int limit = QuestionStore::drawLimit(form.requiredInt(QStringLiteral("exam_num")));
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    if (order == 2) {
        // Quick practice: a random draw from the whole subject.
        const auto codes = m_questions.inScope(subject, TreeScope(), limit, QuestionStore::Order::Random);
        return questionList(form, user, subject, codes);
    }
    if (order != 0 && order != 1)
        throw RequestError(400, "unknown draw order");
    TreeScope scope;
    scope.directoryCode = form.required(QStringLiteral("directoryCode"));
    scope.chapterCode = form.value(QStringLiteral("chapterCode")).value_or(QString());
    scope.nodeCode = form.value(QStringLiteral("nodeCode")).value_or(QString());
    if (scope.directoryCode.isEmpty())
        throw RequestError(400, "empty directory code");
    const auto drawOrder = order == 0 ? QuestionStore::Order::InOrder : QuestionStore::Order::Random;
    return questionList(form, user, subject, m_questions.inScope(subject, scope, limit, drawOrder));
}

Reply Api::testPaperExamList(const FormBody& form)
{
    form.requiredInt(QStringLiteral("type"));
    const int limit = QuestionStore::drawLimit(form.requiredInt(QStringLiteral("exam_num")));
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    return questionList(form, user, subject, m_questions.composedPaper(subject, limit));
}

KeepStore::Kind Api::requireKeepEntry(const FormBody& form, const QString& user, const QString& subject)
{
    const auto kind = keepKind(form.required(QStringLiteral("error_type")), QStringLiteral("1"), QStringLiteral("0"));
    if (!m_keeps.ownsEntry(user, subject, kind, form.required(QStringLiteral("keep_code"))))
        throw RequestError(404, "no such book entry");
    return kind;
}

Reply Api::errorPaperExamList(const FormBody& form)
{
    TreeScope scope;
    scope.paperCode = form.required(QStringLiteral("paperCode"));
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    requireKeepEntry(form, user, subject);
    const auto codes = m_keeps.questions(form.required(QStringLiteral("keep_code")), scope, QuestionStore::kMaxQuestions, false);
    return questionList(form, user, subject, codes);
}

Reply Api::errorChapterExamList(const FormBody& form)
{
    TreeScope scope;
    scope.directoryCode = form.value(QStringLiteral("directoryCode")).value_or(QString());
    scope.chapterCode = form.value(QStringLiteral("chapterCode")).value_or(QString());
    scope.nodeCode = form.value(QStringLiteral("nodeCode")).value_or(QString());
    if (scope.directoryCode.isEmpty() && scope.chapterCode.isEmpty() && scope.nodeCode.isEmpty())
        throw RequestError(400, "no directory, chapter or node");
    const int limit = QuestionStore::drawLimit(form.requiredInt(QStringLiteral("exam_num")));
    const int order = form.requiredInt(QStringLiteral("type"));
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    requireKeepEntry(form, user, subject);
    const auto codes = m_keeps.questions(form.required(QStringLiteral("keep_code")), scope, limit, order == 1);
    return questionList(form, user, subject, codes);
}

Reply Api::recordExamList(const FormBody& form)
{
    const QString record = form.required(QStringLiteral("recordCode"));
    requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    const auto codes = m_records.questions(user, record);
    if (!codes)
        throw RequestError(404, "no such practice record");
    // A replay is the recorded run itself; it does not file a new record.
    return Reply::json(m_questions.recordsJson(*codes));
}

Reply Api::errorKeepAdd(const FormBody& form)
{
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    const auto kind = keepKind(form.required(QStringLiteral("type")), QStringLiteral("0"), QStringLiteral("1"));
    const QString question = form.required(QStringLiteral("code"));
    // The parents the client sends are its copy of the question's; the store files
    // the question by its own record instead.
    const QString answer = form.value(QStringLiteral("anwer")).value_or(QString());
    if (!m_keeps.add(user, subject, kind, question, answer))
        throw RequestError(400, "no such question in the subject");
    return Reply::text(QStringLiteral("1"));
}

Reply Api::deleteExam(const FormBody& form)
{
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("usercode"));
    const QString question = form.required(QStringLiteral("examCode"));
    const QString entry = form.required(QStringLiteral("errorCode"));
    return Reply::text(m_keeps.remove(user, subject, entry, question) ? QStringLiteral("1") : QStringLiteral("0"));
}

Reply Api::directoryList(const FormBody& form)
{
    const QString subject = requireSubject(form);
    // The same path serves the chapter tree (subject only) and a user's book
    // (subject, book and user).
    if (!form.has(QStringLiteral("type")))
        return Reply::json(m_catalog.chapterTree(subject));
    const auto kind = keepKind(form.required(QStringLiteral("type")), QStringLiteral("1"), QStringLiteral("2"));
    const QString user = requireUser(form, QStringLiteral("user_code"));
    return Reply::json(m_keeps.tree(user, subject, kind));
}

Reply Api::clearAll(const FormBody& form)
{
    const QString subject = requireSubject(form);
    const auto kind = keepKind(form.required(QStringLiteral("type")), QStringLiteral("1"), QStringLiteral("0"));
    const QString user = requireUser(form, QStringLiteral("usercode"));
    m_keeps.clear(user, subject, kind);
    return Reply::text(QStringLiteral("1"));
}

Reply Api::errorKeepCount(const FormBody& form)
{
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    return Reply::json(m_keeps.counts(user, subject));
}

Reply Api::recordList(const FormBody& form)
{
    const QString subject = requireSubject(form);
    const QString user = requireUser(form, QStringLiteral("user_code"));
    return Reply::json(m_records.list(user, subject));
}

Reply Api::noteDirectoryList(const FormBody& form)
{
    return Reply::json(m_catalog.noteDirectories(requireSubject(form)));
}

Reply Api::noteGet(const FormBody& form)
{
    const QString subject = requireSubject(form);
    const auto note = m_catalog.note(subject, form.required(QStringLiteral("chapterId")));
    if (!note)
        throw RequestError(404, "no such chapter");
    return Reply::json(*note);
}

} // namespace server
