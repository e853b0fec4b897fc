#include "platform/ui/ApplicationMain.h"

#include "platform/core/Log.h"
#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/BasicAnimation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

#include "tests/support/HandServer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>

#include <cmath>

using namespace ui;

namespace {

// Paints the root the colour the server names once the reply is complete.
class ColourLoader : public core::UrlConnectionDelegate {
public:
    explicit ColourLoader(std::shared_ptr<View> view) : m_view(std::move(view)) {}
    void didReceiveData(core::UrlConnection&, const QByteArray& data) override { m_body += data; }
    void connectionDidFinishLoading(core::UrlConnection&) override
    {
        m_view->setBackgroundColor(m_body == "blue" ? Color::blue() : Color::black());
    }

private:
    std::shared_ptr<View> m_view;
    QByteArray m_body;
};

// A window whose launch step lets the test set up what the screen waits for.
class ScreenDelegate : public ApplicationDelegate {
public:
    explicit ScreenDelegate(std::function<void(const std::shared_ptr<Window>&)> setUp) : m_setUp(std::move(setUp)) {}
    bool didFinishLaunching(Application&) override
    {
        m_window = Window::create(Screen::main().bounds());
        m_window->setBackgroundColor(Color::red());
        m_window->makeKeyAndVisible();
        m_setUp(m_window);
        return true;
    }

private:
    std::function<void(const std::shared_ptr<Window>&)> m_setUp;
    std::shared_ptr<Window> m_window;
};

class ApplicationMainTest : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }
    static void reset()
    {
        core::RunLoop::main().reset();
        Application::shared().reset();
        Screen::resetMain();
    }

    // Runs the program entry with --screenshot and returns the picture it wrote.
    QImage screenshot(std::function<void(const std::shared_ptr<Window>&)> setUp, int* code = nullptr)
    {
        const QByteArray path = m_dir.filePath("shot.png").toLocal8Bit();
        QByteArray program("qbank"), option("--screenshot"), screen("--screen"), size("40x40@1");
        char* argv[] = {program.data(), option.data(), const_cast<char*>(path.data()), screen.data(), size.data(), nullptr};
        const int result = applicationMain(5, argv, [&] { return std::make_shared<ScreenDelegate>(setUp); });
        if (code)
            *code = result;
        return QImage(QString::fromLocal8Bit(path));
    }
    static Color colourAt(const QImage& image, int x, int y) { return Color::fromQColor(image.pixelColor(x, y)); }

    QTemporaryDir m_dir;
};

TEST_F(ApplicationMainTest, ScreenshotOfAScreenThatLoadsDataShowsTheData)
{
    // Slower than any fixed pause short enough for a start-up screenshot.
    HandServer server(HandServer::page(200, "blue", 800));
    core::LogCapture log;
    int code = -1;
    const QImage image = screenshot([&](const std::shared_ptr<Window>& window) {
        core::UrlConnection::create(core::UrlRequest{server.url()}, std::make_shared<ColourLoader>(window));
    }, &code);
    EXPECT_EQ(code, 0);
    ASSERT_EQ(image.size(), QSize(40, 40));   // the --screen given
    EXPECT_EQ(colourAt(image, 20, 20), Color::blue());
    EXPECT_FALSE(log.contains(QStringLiteral("did not settle")));
}

TEST_F(ApplicationMainTest, ScreenshotWaitsForAnimationsButNotForLaterTimersOrEndlessSpinners)
{
    core::LogCapture log;
    const QImage image = screenshot([](const std::shared_ptr<Window>& window) {
        auto fading = View::create(Rect(0, 0, 20, 40));
        fading->setBackgroundColor(Color::green());
        fading->layer()->addAnimation(BasicAnimation::create("backgroundColor", Color::red(), Color::green(), 0.8), "fade");
        window->addSubview(fading);

        auto spinner = View::create(Rect(20, 0, 20, 20));
        spinner->setBackgroundColor(Color::white());
        auto spin = BasicAnimation::create("opacity", 1.0, 1.0, 0.1);
        spin->setRepeatCount(INFINITY);
        spinner->layer()->addAnimation(spin, "spin");
        window->addSubview(spinner);

        // A refresh well after the first frame, as a home screen's clock or poll would have.
        core::RunLoop::main().schedule(2.0, [window] { window->setBackgroundColor(Color::gray()); });
    });
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(colourAt(image, 10, 20), Color::green());   // the fade ran to its end
    EXPECT_EQ(colourAt(image, 25, 10), Color::white());   // the spinner is drawn
    EXPECT_EQ(colourAt(image, 30, 30), Color::red());     // the later refresh has not run
    EXPECT_FALSE(log.contains(QStringLiteral("did not settle")));
}

TEST_F(ApplicationMainTest, ScreenshotGivesUpOnAServerThatNeverAnswers)
{
    HandServer server(HandServer::page(200, "blue", -1));
    core::LogCapture log;
    std::shared_ptr<core::UrlConnection> connection;
    auto startRequest = [&](const std::shared_ptr<Window>& window) {
        connection = core::UrlConnection::create(core::UrlRequest{server.url()}, std::make_shared<ColourLoader>(window));
    };
    {
        // A test's manual clock: one turn, however much is pending.
        core::ManualClock clock(100.0);
        EXPECT_EQ(colourAt(screenshot(startRequest), 20, 20), Color::red());
        EXPECT_FALSE(log.contains(QStringLiteral("did not settle")));
        connection->cancel();
    }
    reset();
    int code = -1;
    const QImage image = screenshot(startRequest, &code);
    EXPECT_EQ(code, 0);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(colourAt(image, 20, 20), Color::red());
    EXPECT_TRUE(log.contains(QStringLiteral("did not settle")));
    connection->cancel();
}

// What nobody can see is not waited for, whatever it animates: a shadow fading in wholly under
// an opaque view (as the side panel's lies under the home screen); through a translucent cover
// the same fade is seen, and waited for.
TEST_F(ApplicationMainTest, ScreenshotWaitsOnlyForAnimationsThatCanBeSeen)
{
    for (const bool opaqueCover : {true, false}) {
        SCOPED_TRACE(opaqueCover ? "opaque cover" : "translucent cover");
        reset();
        core::LogCapture log;
        const QImage image = screenshot([opaqueCover](const std::shared_ptr<Window>& window) {
            auto shadowed = View::create(Rect(0, 0, 40, 40));
            shadowed->layer()->setShadowOpacity(0.5);
            shadowed->layer()->addAnimation(BasicAnimation::create("shadowOpacity", 0.0, 0.5, 2.5), "fade");
            window->addSubview(shadowed);
            auto cover = View::create(Rect(0, 0, 40, 40));
            cover->setBackgroundColor(opaqueCover ? Color::blue() : Color::blue().withAlpha(0.5));
            window->addSubview(cover);
            // Well before the fade would end.
            core::RunLoop::main().schedule(1.5, [cover] { cover->setBackgroundColor(Color::green()); });
        });
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(colourAt(image, 20, 20) == Color::green(), !opaqueCover) << "waited past the change: " << !opaqueCover;
        EXPECT_FALSE(log.contains(QStringLiteral("did not settle")));
    }
}

} // namespace
