#include "practice/ExamBookRequest.h"

#include "platform/core/Record.h"
#include "practice/ExamListRequest.h"

#include <QJsonArray>

namespace {

QString text(const QJsonObject& record, std::initializer_list<QString> path)
{
    return core::Record::bodyText(core::Record::value(QJsonValue(record), path));
}

} // namespace

QJsonObject ExamBookRequest::firstSubQuestion(const QJsonObject& question)
{
    return core::Record::object(core::Record::array(question.value(QStringLiteral("smallExams"))).at(0));
}

std::optional<QString> ExamBookRequest::rightAnswer(const QJsonObject& question)
{
    const QJsonValue answer = firstSubQuestion(question).value(QStringLiteral("answer"));
    if (answer.isUndefined() || answer.isNull())
        return std::nullopt;
    return core::Record::stringValue(answer);
}

core::FormBody ExamBookRequest::keepBody(const QJsonObject& question, const QString& keepType)
{
    core::FormBody body;
    body.add(QStringLiteral("subjectCode"), ExamListRequest::subjectCodeText());
    body.add(QStringLiteral("user_code"), ExamListRequest::userCodeText());
    body.add(QStringLiteral("type"), keepType);
    body.add(QStringLiteral("code"), text(question, {"code"}));
    body.add(QStringLiteral("paper_code"), text(question, {"TExamPaper", "code"}));
    body.add(QStringLiteral("directoryCode"), text(question, {"TChapter", "TDirectory", "code"}));
    body.add(QStringLiteral("chapter_code"), text(question, {"TChapter", "code"}));
    body.add(QStringLiteral("node_code"), text(question, {"TChapterNode", "code"}));
    return body;
}

core::FormBody ExamBookRequest::favouriteBody(const QJsonObject& question)
{
    return keepBody(question, QStringLiteral("1"));
}

core::FormBody ExamBookRequest::wrongAnswerBody(const QJsonObject& question)
{
    core::FormBody body = keepBody(question, QStringLiteral("0"));
    const QJsonObject sub = firstSubQuestion(question);
    const QJsonValue answer = sub.value(QStringLiteral("answer"));
    if (core::Record::intValue(sub.value(QStringLiteral("category"))) == 2)
        body.add(QStringLiteral("anwer"), core::Record::intValue(answer) == 1 ? QStringLiteral("对") : QStringLiteral("错"));
    else
        body.add(QStringLiteral("anwer"), core::Record::bodyText(answer));
    return body;
}

core::FormBody ExamBookRequest::deletionBody(const QJsonObject& question, const QString& keepCode)
{
    core::FormBody body;
    body.add(QStringLiteral("subjectCode"), ExamListRequest::subjectCodeText());
    body.add(QStringLiteral("usercode"), ExamListRequest::userCodeText());
    body.add(QStringLiteral("examCode"), text(question, {"code"}));
    body.add(QStringLiteral("errorCode"), keepCode.isNull() ? QStringLiteral("(null)") : keepCode);
    return body;
}
