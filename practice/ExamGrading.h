#pragma once

#include <QJsonObject>
#include <QList>
#include <QStringList>
#include <memory>
#include <vector>

class ExamPage;

// The grading of a finished run: one flag per graded question ("0" right, "1" wrong or
// unanswered) with the question each flag belongs to, the score (a right question adds its
// score shared among its sub-questions), the number of graded questions answered, and the
// questions answered wrongly, in question order.
class ExamGrading {
public:
    static ExamGrading grade(const std::vector<std::shared_ptr<ExamPage>>& pages);

    QStringList flags;
    // flagQuestions[p] is the index of the question flag p belongs to.
    QList<int> flagQuestions;
    float score = 0;
    int answerCount = 0;
    QList<QJsonObject> wrongAnswers;
};
