#include "shell/MainViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/ui/View.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>

namespace {

using GuestAccountTest = AppTest;

// A first start asks whether a guest is needed; only a plain "0" with status 200 registers
// one under a generated name, and only an account object becomes the account, saved at once.
TEST_F(GuestAccountTest, OnlyAPlainZeroRegistersAndOnlyAnObjectIsKept)
{
    const QByteArray guest = R"({"code":"g1","username":"yk_AAAAA123456","pwd":"470219"})";
    const struct {
        int status;
        QByteArray check, registered;
        QStringList toasts;
        bool kept;
    } cases[] = {
        {200, "0", guest, {}, true},
        {200, "1", guest, {}, false},
        {200, "0\n", guest, {}, false},
        {200, "", guest, {}, false},
        {404, "0", guest, {"网络不给力，请重试"}, false},
        {200, "0", "2", {}, false},
        {200, "0", "[1,2]", {}, false},
        {200, "0", "<html>ok</html>", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.status << " [" << c.check.toStdString() << "] " << c.registered.toStdString());
        CommonUtil::resetState();
        CommonUtil::saveData();
        StubServer server;
        server.setReply("exam/checkyk", c.status, c.check);
        server.setReply("user/register", 200, c.registered);
        useServer(server.baseUrl());
        auto home = MainViewController::create();
        home->loadViewIfNeeded();
        // The registration, if any, replaces the check as soon as its answer is read.
        ASSERT_TRUE(pumpUntil([&] { return !home->accountRequest()->isRunning(); }));
        EXPECT_EQ(toastTexts(home->view()), c.toasts);
        EXPECT_EQ(CommonUtil::getAccount().has_value(), c.kept);
        EXPECT_EQ(storedAccount().isObject(), c.kept);
        if (server.count("user/register") == 0)
            continue;
        const auto fields = core::FormBody::decode(server.requests().last().body);
        ASSERT_EQ(fields.size(), 2);
        EXPECT_TRUE(QRegularExpression("^yk_[A-Z]{5}[0-9]{6,9}$").match(fields[0].second).hasMatch());
        EXPECT_EQ(fields[1], (QPair<QString, QString>("pwd", "470219")));
    }
}

// Guest names draw from the whole alphabet and the whole number range.
TEST_F(GuestAccountTest, GuestNamesCoverTheirWholeRange)
{
    QSet<QChar> letters;
    QSet<int> numbers;
    for (int i = 0; i < 2000; ++i) {
        for (QChar ch : MainViewController::ret32bitString())
            letters.insert(ch);
        numbers.insert(MainViewController::getRandomNumber(1, 10));
    }
    EXPECT_EQ(letters.size(), 26);
    EXPECT_TRUE(letters.contains('A') && letters.contains('Z'));
    EXPECT_EQ(numbers, (QSet<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

} // namespace
