#include "tests/server/ApiClient.h"

#include "server/Database.h"
#include "server/SeedLoader.h"
#include "server/ServerInstance.h"

#include <QTemporaryDir>

#include <QSet>

#include <gtest/gtest.h>

using namespace server;

namespace {

const QString kLetters = QStringLiteral("ABCDEFG");

// What an answer must look like for the client to grade it against its widgets.
QString answerProblem(const QJsonValue& part)
{
    const int category = part["category"].toInt();
    const QString answer = part["answer"].toString();
    const int options = part["examOptions"].toArray().size();
    if (answer.isEmpty())
        return QStringLiteral("empty answer");
    switch (category) {
    case 0:
        if (answer.size() != 1 || kLetters.indexOf(answer) < 0 || kLetters.indexOf(answer) >= options)
            return QStringLiteral("single-choice answer %1 outside %2 options").arg(answer).arg(options);
        return {};
    case 1:
    case 5: {
        int last = -1;
        for (const QChar letter : answer) {
            const int index = kLetters.indexOf(letter);
            if (index <= last || index >= options)
                return QStringLiteral("choice answer %1 not ascending letters of %2 options").arg(answer).arg(options);
            last = index;
        }
        return {};
    }
    case 2:
        return answer == QLatin1String("1") || answer == QLatin1String("0") ? QString() : QStringLiteral("true/false answer ") + answer;
    default:
        return {};
    }
}

TEST(SampleBank, HoldsAFullyFormedBank)
{
    ServerInstance server;
    QString error;
    ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::Sample, &error)) << qPrintable(error);
    ApiClient client(server);
    const QString user = client.registerUser(QStringLiteral("auditor1")).value("code").toString();

    const QJsonArray types = client.post(QStringLiteral("exam/subject_type_list"), {{"type", "focus-c"}}).array();
    EXPECT_GE(types.size(), 2);
    QSet<int> categories;
    int questionCount = 0;
    int subjectCount = 0;
    int pastPapers = 0;
    int sprintPapers = 0;
    for (const QJsonValue& type : types) {
        for (const QJsonValue& subject : type["TSubjects"].toArray()) {
            ++subjectCount;
            const QString code = subject["code"].toString();
            pastPapers += client.post(QStringLiteral("exam/paper_list"), {{"examType", "0"}, {"subjectCode", code}}).array().size();
            sprintPapers += client.post(QStringLiteral("exam/paper_list"), {{"examType", "1"}, {"subjectCode", code}}).array().size();
            const QJsonArray questions = client.post(QStringLiteral("exam/chapter_exam_list"),
                                                     {{"type", "2"}, {"exam_num", "0"}, {"subjectCode", code}, {"user_code", user}})
                                             .array();
            questionCount += questions.size();
            for (const QJsonValue& q : questions) {
                const QString where = q["code"].toString();
                categories << q["category"].toInt();
                EXPECT_TRUE(q["detail"].toString().startsWith(QLatin1Char('<'))) << qPrintable(where);
                EXPECT_FALSE(q["analyze"].toString().isEmpty()) << qPrintable(where);
                EXPECT_GT(q["score"].toDouble(), 0.0) << qPrintable(where);
                const bool inTree = !q["TChapter"]["code"].toString().isEmpty();
                const bool inPaper = !q["TExamPaper"]["code"].toString().isEmpty();
                EXPECT_NE(inTree, inPaper) << qPrintable(where) << " must live in the tree or in a paper";
                const QJsonArray parts = q["smallExams"].toArray();
                ASSERT_FALSE(parts.isEmpty()) << qPrintable(where);
                for (const QJsonValue& part : parts) {
                    categories << part["category"].toInt();
                    const QString problem = answerProblem(part);
                    EXPECT_TRUE(problem.isEmpty()) << qPrintable(where + ": " + problem);
                }
            }
        }
    }
    EXPECT_GE(subjectCount, 3);
    EXPECT_GE(questionCount, 150);
    EXPECT_GE(pastPapers + sprintPapers, 6);
    EXPECT_GT(pastPapers, 0);
    EXPECT_GT(sprintPapers, 0);
    EXPECT_EQ(categories, (QSet<int>{0, 1, 2, 3, 4, 5, 6}));
}

TEST(SampleBank, SeedsOnlyAnEmptyStore)
{
    QString error;
    ServerInstance server;
    ASSERT_TRUE(server.startTemporary(ServerOptions::Seed::None, &error)) << qPrintable(error);
    ApiClient client(server);
    EXPECT_TRUE(client.post(QStringLiteral("exam/subject_type_list"), {{"type", "focus-c"}}).array().isEmpty());
}

} // namespace

namespace {

TEST(SeedLoader, ARejectedBankLeavesTheStoreEmpty)
{
    QTemporaryDir dir;
    QString error;
    auto db = Database::open(dir.filePath(QStringLiteral("db.sqlite")), &error);
    ASSERT_TRUE(db) << qPrintable(error);
    const QJsonObject question{{"code", "Q1"}, {"chapter", "NOCHAPTER"}, {"category", 0}, {"detail", "<p>x</p>"}, {"answer", "A"}};
    const QJsonObject subject{{"code", "S"}, {"name", "科目"}, {"questions", QJsonArray{question}}};
    const QJsonObject bank{{"subjectTypes", QJsonArray{QJsonObject{{"code", "T"}, {"name", "类"}, {"subjects", QJsonArray{subject}}}}}};
    EXPECT_FALSE(SeedLoader(*db).loadIfEmpty(bank, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Q1")));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM subject_type")).toInt(), 0);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM subject")).toInt(), 0);
}

} // namespace
