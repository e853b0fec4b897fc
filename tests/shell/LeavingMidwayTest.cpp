// Screens left in the middle of something, as a user leaves them: by the back button while a
// field is being edited, and while the screen is still sliding in.
#include "appbase/ChromeViewController.h"
#include "practice/ExamSetViewController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TouchInjector.h"
#include "platform/core/UrlConnection.h"
#include "server/ServerInstance.h"
#include "tests/shell/LaunchedAppTest.h"
#include "tests/support/HandServer.h"

#include <QPointer>

namespace {

class LeavingMidwayTest : public LaunchedAppTest {
protected:
    // Taps through `path` from the home screen and returns the screen the last tap opened,
    // once it has settled.
    std::shared_ptr<ui::ViewController> openBy(const QStringList& path)
    {
        std::shared_ptr<ui::ViewController> screen = m_home;
        for (const QString& label : path) {
            screen = tapTo<ui::ViewController>(screen, label);
            if (!screen)
                return nullptr;
        }
        return screen;
    }
};

// Back while a field is being edited, empty or holding text, closes the screen and lets it go;
// the screen under it shows again.
TEST_F(LeavingMidwayTest, BackWhileAFieldIsEditedClosesTheScreen)
{
    startSampleServer();
    launch();
    const struct {
        QStringList path;
        const char* field;   // its accessibility label, or "" for the practice count field
        const char* text;
    } cases[] = {
        {{"用户登陆"}, "请输入账号", ""},
        {{"用户登陆"}, "请输入账号", "ann中"},
        {{"用户登陆"}, "请输入密码", ""},
        {{"用户登陆"}, "请输入密码", "pw&1"},
        {{"用户登陆", "注册新用户"}, "请输入账号", ""},
        {{"用户登陆", "注册新用户"}, "请输入账号", "新用户b"},
        {{"用户登陆", "注册新用户"}, "请输入密码", ""},
        {{"用户登陆", "注册新用户"}, "请输入密码", "secret"},
        {{"用户登陆", "注册新用户"}, "请输入确认密码", ""},
        {{"用户登陆", "注册新用户"}, "请输入确认密码", "密码"},
        {{"系统设置", "试题设置"}, "", ""},
        {{"系统设置", "试题设置"}, "", "12"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.join('/').toStdString() + " " + c.field + " " + c.text);
        auto screen = openBy(c.path);
        ASSERT_TRUE(screen);
        auto below = screen->presentingViewController();
        if (*c.field) {
            ASSERT_TRUE(tap(screen, c.field));
        } else {
            m_delegate->window()->layoutIfNeeded();
            auto count = screen->view()->viewWithTag(ExamSetViewController::kSpecialNumFieldTag);
            ASSERT_TRUE(count && ui::TouchInjector::tap(*count));
            keyboard::press(m_host.get(), Qt::Key_A, Qt::ControlModifier);
            keyboard::key(m_host.get(), Qt::Key_Backspace);
            ASSERT_EQ(std::static_pointer_cast<ui::TextField>(count)->text(), "");
        }
        commit(c.text);
        ASSERT_TRUE(focus());
        ASSERT_TRUE(tap(screen, "返回"));
        std::weak_ptr<ui::ViewController> gone = screen;
        screen.reset();
        EXPECT_TRUE(pumpUntil([&] { return gone.expired(); }));
        EXPECT_FALSE(focus());
        // Back to the home screen for the next case.
        for (auto open = below; open && open != m_container; open = open->presentingViewController()) {
            ASSERT_TRUE(tap(open, "返回"));
            ASSERT_TRUE(closes(open));
        }
        EXPECT_FALSE(m_container->presentedViewController());
    }
}

// A back tap while a screen still slides in does nothing: the screen arrives whole, and its
// back button then closes it.
TEST_F(LeavingMidwayTest, BackWhileAScreenSlidesInLeavesItWhole)
{
    startSignedIn();
    launch();
    for (const char* opener : {"用户登陆", "系统设置", "历年真题", "专项练习", "错题收藏", "备考专区"}) {
        SCOPED_TRACE(opener);
        ASSERT_TRUE(tap(m_home, opener));
        auto screen = m_container->presentedViewController();
        ASSERT_TRUE(screen && screen->isTransitioning());
        ASSERT_TRUE(tap(screen, "返回"));
        ASSERT_TRUE(pumpUntil([&] { return !screen->isTransitioning() && overlaysGone(screen->view()); }));
        EXPECT_TRUE(screen->presentingViewController());
        ASSERT_TRUE(tap(screen, "返回")) << "the screen kept its back button";
        EXPECT_TRUE(closes(screen));
    }
}

} // namespace

namespace {

// Between the app and the real server: passes every request on and its reply back, except the
// requests to one path, which it passes on but whose replies it holds until released.
class HoldingProxy {
public:
    HoldingProxy(int serverPort, QString heldPath)
        : m_port(serverPort)
        , m_held("POST /PendarWeb/" + heldPath.toLatin1() + " ")
        , m_server([this](QTcpSocket* app, const QByteArray& request) { pass(app, request); })
    {
    }
    QString baseUrl() const { return m_server.url("/PendarWeb/").toString(); }
    bool holding() const { return !m_replies.isEmpty(); }
    // Hands the held replies to the app.
    void release()
    {
        for (const auto& [app, reply] : std::exchange(m_replies, {}))
            if (app)
                app->write(reply);
    }
    int heldCount() const { return m_heldCount; }

private:
    void pass(QTcpSocket* app, const QByteArray& request)
    {
        const bool hold = request.startsWith(m_held);
        m_heldCount += hold ? 1 : 0;
        auto* server = new QTcpSocket(app);
        auto reply = std::make_shared<QByteArray>();
        QObject::connect(server, &QTcpSocket::connected, server, [server, request] { server->write(request); });
        QObject::connect(server, &QTcpSocket::readyRead, server, [this, app, server, reply, hold] {
            *reply += server->readAll();
            if (!HandServer::isWholeReply(*reply))
                return;
            if (hold)
                m_replies.append({QPointer<QTcpSocket>(app), *reply});
            else
                app->write(*reply);
            server->deleteLater();
        });
        server->connectToHost(QHostAddress::LocalHost, quint16(m_port));
    }

    int m_port;
    QByteArray m_held;
    QList<std::pair<QPointer<QTcpSocket>, QByteArray>> m_replies;
    int m_heldCount = 0;
    HandServer m_server;
};

// Back while a screen's request is under way: the wait overlay takes the tap, and the reply
// lands on the screen still shown. Back tapped again as soon as the reply is in, while the
// overlay fades or a toast shows, closes the screen, which is freed and leaves nothing
// behind on the screen below.
TEST_F(LeavingMidwayTest, BackUnderTheWaitOverlayWaitsForTheReply)
{
    server::ServerInstance& server = startSignedIn();
    const struct {
        QStringList open;                                      // taps from home; the last may send
        std::vector<std::pair<const char*, const char*>> fill;  // field label, text
        const char* send;                                      // the tap that sends, "" when opening does
        const char* held;
    } cases[] = {
        {{"用户登陆"}, {{"请输入账号", "ann"}, {"请输入密码", "pw1"}}, "登录", "user/login"},
        {{"用户登陆", "注册新用户"}, {}, "", "exam/pactUrl_list"},
        {{"用户登陆", "注册新用户"}, {{"请输入账号", "tester"}, {"请输入密码", "pw1234"}, {"请输入确认密码", "pw1234"}},
         "立即注册", "user/register"},
        {{"系统设置", "反馈与评分", "用户反馈"}, {{"反馈意见", "慢"}, {"联系方式", "qq 5"}}, "提交", "exam/feedback_add"},
        {{"历年真题"}, {}, "", "exam/paper_list"},
        {{"历年真题", "计算机基础历年真题（一）"}, {}, "", "exam/paper_exam_list"},
        {{"专项练习"}, {}, "", "exam/directory_list"},
        {{"错题收藏"}, {}, "", "exam/error_keep_count"},
        {{"错题收藏", "错题本"}, {}, "", "exam/directory_list"},
        {{"备考专区"}, {}, "", "exam/note_directory_list"},
        {{"备考专区", "数制与编码"}, {}, "", "exam/note_get"},
    };
    launch();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.open.join('/').toStdString() + " " + c.held);
        HoldingProxy proxy(server.port(), c.held);
        useServer(proxy.baseUrl());
        std::shared_ptr<ui::ViewController> screen;
        if (*c.send) {
            screen = openBy(c.open);
            ASSERT_TRUE(screen);
            for (const auto& [field, text] : c.fill) {
                ASSERT_TRUE(tap(screen, field));
                commit(text);
            }
            ASSERT_TRUE(tap(screen, c.send));
        } else {
            std::shared_ptr<ui::ViewController> from = m_home;
            if (c.open.size() > 1)
                from = openBy(c.open.mid(0, c.open.size() - 1));
            ASSERT_TRUE(from);
            ASSERT_TRUE(pumpUntil([&] { return tap(from, c.open.last()); }));
            screen = (from == m_home ? m_container : from)->presentedViewController();
        }
        ASSERT_TRUE(screen);
        ASSERT_TRUE(pumpUntil([&] { return proxy.holding() && !screen->isTransitioning(); }));
        const auto under = screen->presentingViewController();
        ASSERT_TRUE(tap(screen, "返回"));
        EXPECT_TRUE(!screen->isTransitioning() && screen->presentingViewController()) << "the overlay took the tap";
        proxy.release();
        ASSERT_TRUE(pumpUntil([] { return core::UrlConnection::runningCount() == 0; }));
        EXPECT_TRUE(pumpUntil([&] {
            // Closed by the back tap, or by the screen itself once its work was done.
            if (!findByLabel(screen->view(), "返回") || !screen->presentingViewController())
                return true;
            tap(screen, "返回");
            return false;
        }));
        std::weak_ptr<ui::ViewController> gone = screen;
        screen.reset();
        EXPECT_TRUE(pumpUntil([&] { return gone.expired(); }));
        EXPECT_TRUE(pumpUntil([&] { return !under->presentedViewController() && overlaysGone(under->view()); }));
        EXPECT_TRUE(toastTexts(under->view()).isEmpty());
        EXPECT_EQ(proxy.heldCount(), 1);
        // Back to the home screen for the next case.
        for (auto open = under; open && open != m_container;) {
            auto next = open->presentingViewController();
            ASSERT_TRUE(tap(open, "返回"));
            ASSERT_TRUE(closes(open));
            open = next;
        }
    }
}

} // namespace
