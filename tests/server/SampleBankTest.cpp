#include "tests/server/ApiClient.h"

#include "server/Database.h"
#include "server/SeedLoader.h"

#include <QSet>
#include <QTemporaryDir>

using namespace server;

namespace {

using SampleBank = ServerTest;

// What an answer must look like for the client to grade it against its widgets: one letter
// of the options, ascending distinct letters of them, or 1/0.
bool answerFits(const QJsonValue& part)
{
    const QString answer = part["answer"].toString();
    const QString letters = QString("ABCDEFG").left(part["examOptions"].toArray().size());
    switch (part["category"].toInt()) {
    case 0:
        return answer.size() == 1 && letters.contains(answer);
    case 1:
    case 5:
        return !answer.isEmpty() && std::is_sorted(answer.begin(), answer.end()) && QSet<QChar>(answer.begin(), answer.end()).size() == answer.size()
               && std::all_of(answer.begin(), answer.end(), [&](QChar c) { return letters.contains(c); });
    case 2:
        return answer == "1" || answer == "0";
    default:
        return !answer.isEmpty();
    }
}

TEST_F(SampleBank, HoldsAFullyFormedBankOfEveryCategory)
{
    QSet<int> categories;
    int questions = 0;
    int papers[2] = {0, 0};   // past, sprint
    for (const QJsonValue& type : post("exam/subject_type_list", {{"type", "focus-c"}}).array()) {
        for (const QJsonValue& subject : type["TSubjects"].toArray()) {
            const Fields where{{"subjectCode", subject["code"].toString()}, {"user_code", user}};
            for (const int kind : {0, 1})
                papers[kind] += post("exam/paper_list", where + Fields{{"examType", QString::number(kind)}}).array().size();
            for (const QJsonValue& q : post("exam/chapter_exam_list", where + Fields{{"type", "2"}, {"exam_num", "0"}}).array()) {
                ++questions;
                const std::string code = q["code"].toString().toStdString();
                EXPECT_TRUE(q["detail"].toString().startsWith('<') && !q["analyze"].toString().isEmpty()) << code;
                EXPECT_GT(q["score"].toDouble(), 0.0) << code;
                EXPECT_NE(q["TChapter"]["code"].toString().isEmpty(), q["TExamPaper"]["code"].toString().isEmpty())
                    << code << " lives in the tree or in a paper";
                ASSERT_FALSE(q["smallExams"].toArray().isEmpty()) << code;
                for (const QJsonValue& part : q["smallExams"].toArray()) {
                    categories << part["category"].toInt();
                    EXPECT_TRUE(answerFits(part)) << code << " answer " << part["answer"].toString().toStdString();
                }
            }
        }
    }
    EXPECT_GE(questions, 150);
    EXPECT_GT(papers[0], 0);
    EXPECT_GT(papers[1], 0);
    EXPECT_EQ(categories, (QSet<int>{0, 1, 2, 3, 4, 5, 6}));
}

TEST(SeedLoader, OnlyAnEmptyStoreIsSeededAndARejectedBankLeavesItEmpty)
{
    ServerInstance unseeded;
    QString error;
    ASSERT_TRUE(unseeded.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
    EXPECT_TRUE(ApiClient(unseeded).post("exam/subject_type_list", {{"type", "focus-c"}}).array().isEmpty());

    const QJsonObject question{{"code", "Q1"}, {"chapter", "NOCHAPTER"}, {"category", 0}, {"detail", "<p>x</p>"}, {"answer", "A"}};
    const QJsonObject subject{{"code", "S"}, {"name", "科目"}, {"questions", QJsonArray{question}}};
    const QJsonObject bank{{"subjectTypes", QJsonArray{QJsonObject{{"code", "T"}, {"name", "类"}, {"subjects", QJsonArray{subject}}}}}};
    EXPECT_FALSE(SeedLoader(unseeded.database()).loadIfEmpty(bank, &error));
    EXPECT_TRUE(error.contains("Q1"));
    EXPECT_EQ(unseeded.database().scalar("SELECT COUNT(*) FROM subject").toInt(), 0);
}

} // namespace
