#include "practice/ExamGrading.h"

#include "platform/core/Log.h"
#include "platform/core/Record.h"
#include "practice/ExamBookRequest.h"
#include "practice/ExamPage.h"

#include <QJsonArray>

ExamGrading ExamGrading::grade(const std::vector<std::shared_ptr<ExamPage>>& pages)
{
    ExamGrading result;
    for (const auto& page : pages) {
        if (!page->isGraded())
            continue;
        const QJsonObject& question = page->question();
        const auto value = page->answerValue();
        const bool answered = value && !value->isEmpty();
        const auto rightAnswer = ExamBookRequest::rightAnswer(question);
        if (value && rightAnswer && *value == *rightAnswer) {
            const auto parts = core::Record::array(question.value(QStringLiteral("smallExams"))).size();
            result.score += static_cast<float>(core::Record::doubleValue(question.value(QStringLiteral("score")))) / parts;
            result.flags.append(QStringLiteral("0"));
        } else {
            if (answered) {
                core::log(QStringLiteral("ExamStartViewController"),
                          QStringLiteral("finishJobClick==value===%1==%2").arg(page->index()).arg(*value));
                result.wrongAnswers.append(question);
            }
            result.flags.append(QStringLiteral("1"));
        }
        result.flagQuestions.append(page->index());
        if (answered)
            ++result.answerCount;
    }
    return result;
}
