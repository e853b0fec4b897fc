#include "tests/server/ApiClient.h"

#include "server/storage/Database.h"
#include "server/storage/SeedLoader.h"

#include <QRegularExpression>
#include <QSet>

using namespace server;

using SampleBank = ServerTest;

// What an answer must look like for the client to grade it against its widgets: one letter
// of the options, ascending distinct letters of them, or 1/0.
static bool answerFits(const QJsonValue& part)
{
    const QString answer = part["answer"].toString();
    const int last = answer.isEmpty() ? -1 : answer.back().unicode() - 'A';
    const bool ofOptions = last >= 0 && last < part["examOptions"].toArray().size();
    switch (part["category"].toInt()) {
    case 0:
        return answer.size() == 1 && ofOptions;
    case 1:
    case 5:
        return QRegularExpression("^A?B?C?D?E?F?G?$").match(answer).hasMatch() && ofOptions;
    case 2:
        return answer == "1" || answer == "0";
    default:
        return !answer.isEmpty();
    }
}

// Named types of named subjects, each with past and sprint papers apart, and questions of
// every category, each in the tree or in a paper, with an answer the client can grade.
TEST_F(SampleBank, HoldsAFullyFormedBankOfEveryCategory)
{
    QSet<int> categories;
    QSet<QString> subjects;
    int questions = 0;
    int papers[2] = {0, 0};   // past, sprint
    QSet<QString> paperCodes;
    for (const QJsonValue& type : post("exam/subject_type_list", {{"type", "focus-c"}}).array()) {
        EXPECT_FALSE(type["typeName"].toString().isEmpty());
        for (const QJsonValue& subject : type["TSubjects"].toArray()) {
            EXPECT_FALSE(subject["subjectName"].toString().isEmpty());
            subjects << subject["code"].toString();
            const Fields where{{"subjectCode", subject["code"].toString()}, {"user_code", user}};
            for (const int kind : {0, 1}) {
                for (const QJsonValue& paper : post("exam/paper_list", where + Fields{{"examType", QString::number(kind)}}).array()) {
                    EXPECT_TRUE(paper["difficulty"].isDouble() && !paper["name"].toString().isEmpty());
                    paperCodes << paper["code"].toString();
                    ++papers[kind];
                }
            }
            for (const QJsonValue& q : post("exam/chapter_exam_list", where + Fields{{"type", "2"}, {"exam_num", "0"}}).array()) {
                ++questions;
                const std::string code = q["code"].toString().toStdString();
                EXPECT_TRUE(q["detail"].toString().startsWith('<') && !q["analyze"].toString().isEmpty() && q["score"].toDouble() > 0) << code;
                EXPECT_NE(q["TChapter"]["code"].toString().isEmpty(), q["TExamPaper"]["code"].toString().isEmpty()) << code;
                EXPECT_TRUE(q["TChapter"]["TDirectory"].isObject() && q["TChapterNode"].isObject() && q["TExamPaper"].isObject()) << code;
                ASSERT_FALSE(q["smallExams"].toArray().isEmpty()) << code;
                for (const QJsonValue& part : q["smallExams"].toArray()) {
                    categories << part["category"].toInt();
                    EXPECT_TRUE(answerFits(part)) << code << " answer " << part["answer"].toString().toStdString();
                    for (int i = 0; i < part["examOptions"].toArray().size(); ++i)
                        EXPECT_EQ(part["examOptions"][i]["orderby"], i) << code;
                }
            }
        }
    }
    EXPECT_GE(subjects.size(), 3);
    EXPECT_GE(questions, 150);
    EXPECT_TRUE(papers[0] > 0 && papers[1] > 0);
    EXPECT_EQ(paperCodes.size(), papers[0] + papers[1]) << "a paper is listed as both past and sprint";
    EXPECT_EQ(categories, (QSet<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_TRUE(post("exam/paper_list", {{"examType", "0"}, {"subjectCode", "nope"}}).array().isEmpty());
}

TEST(SeedLoader, OnlyAnEmptyStoreIsSeededAndARejectedBankLeavesItEmpty)
{
    ServerInstance unseeded;
    QString error;
    ASSERT_TRUE(unseeded.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
    EXPECT_TRUE(ApiClient(unseeded).post("exam/subject_type_list", {{"type", "focus-c"}}).array().isEmpty());

    const QJsonObject bank = QJsonDocument::fromJson(R"({"subjectTypes": [{"code": "T", "name": "类", "subjects": [{"code": "S", "name": "科目",
        "questions": [{"code": "Q1", "chapter": "NOCHAPTER", "category": 0, "detail": "<p>x</p>", "answer": "A"}]}]}]})").object();
    EXPECT_FALSE(SeedLoader(unseeded.database()).loadIfEmpty(bank, &error));
    EXPECT_TRUE(error.contains("Q1"));
    EXPECT_EQ(unseeded.database().scalar("SELECT COUNT(*) FROM subject").toInt(), 0);
}

