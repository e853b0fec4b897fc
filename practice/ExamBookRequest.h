#pragma once

#include "platform/core/FormBody.h"

#include <QJsonObject>
#include <QString>
#include <optional>

// The bodies of the practice screen's error-book requests: a favourite the user asks for, a
// wrong answer filed after grading, and the removal of a question from the entry a run comes
// from. Each carries the question's place in the bank as the server files it.
class ExamBookRequest {
public:
    static constexpr const char* KeepPath = "exam/error_keep_add";
    static constexpr const char* DeletePath = "exam/delexam";

    static core::FormBody favouriteBody(const QJsonObject& question);
    // The question's right answer goes with it (true/false as "对" or "错"), not the user's pick.
    static core::FormBody wrongAnswerBody(const QJsonObject& question);
    static core::FormBody deletionBody(const QJsonObject& question, const QString& keepCode);

    // The right answer of sub-question 0 as text: a number in the record reads as its digits.
    // None when the record gives none (missing or null): no answer, not even an empty one,
    // matches it.
    static std::optional<QString> rightAnswer(const QJsonObject& question);
    static QJsonObject firstSubQuestion(const QJsonObject& question);

private:
    static core::FormBody keepBody(const QJsonObject& question, const QString& keepType);
};
