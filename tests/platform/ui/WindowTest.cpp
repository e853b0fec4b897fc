#include "platform/ui/Window.h"

#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Renderer.h"
#include "tests/support/UiFixture.h"
#include "support/LoggingController.h"


using namespace ui;
using uitest::LoggingController;

namespace {

class WindowTest : public UiFixture {};

// A start-up controller that replaces itself as the window's root from its own did-appear.
class StartController : public ViewController {
public:
    static std::shared_ptr<StartController> create(std::shared_ptr<ViewController> next,
                                                   std::shared_ptr<QStringList> log)
    {
        auto c = std::shared_ptr<StartController>(new StartController());
        c->m_next = std::move(next);
        c->m_log = std::move(log);
        return c;
    }
    ~StartController() override { m_log->append("start:destroyed"); }

    void viewDidAppear(bool) override
    {
        m_log->append("start:didAppear");
        view()->window()->setRootViewController(m_next);
        m_log->append(QStringLiteral("start:still here, %1").arg(m_next->view()->window() ? "next shown" : "?"));
    }
    void viewWillDisappear(bool) override { m_log->append("start:willDisappear"); }
    void viewDidDisappear(bool) override { m_log->append("start:didDisappear"); }

private:
    std::shared_ptr<ViewController> m_next;
    std::shared_ptr<QStringList> m_log;
};

class LifeCycleDelegate : public ApplicationDelegate {
public:
    explicit LifeCycleDelegate(std::shared_ptr<QStringList> log) : m_log(std::move(log)) {}

    bool didFinishLaunching(Application&) override
    {
        m_log->append("launch");
        return true;
    }
    void applicationDidEnterBackground(Application&) override { m_log->append("background"); }
    void applicationWillEnterForeground(Application&) override { m_log->append("foreground"); }
    void applicationWillTerminate(Application&) override { m_log->append("terminate"); }

private:
    std::shared_ptr<QStringList> m_log;
};

} // namespace

TEST_F(WindowTest, ARootMayReplaceItselfFromItsOwnCallback)
{
    auto log = std::make_shared<QStringList>();
    auto window = Window::create(Screen::main().bounds());
    window->makeKeyAndVisible();
    auto home = LoggingController::create("home", log);
    {
        auto start = StartController::create(home, log);
        window->setRootViewController(start);
    }
    step();
    EXPECT_EQ(*log, (QStringList{"start:didAppear", "start:willDisappear", "start:didDisappear", "home:willAppear",
                                 "start:still here, next shown", "start:destroyed", "home:didAppear"}));
    EXPECT_EQ(window->rootViewController(), home);
    EXPECT_EQ(window->subviews().size(), 1u);
    EXPECT_EQ(window->subviews().front(), home->view());
}

TEST_F(WindowTest, KeyWindowAndItsRegistration)
{
    auto a = Window::create(Rect(0, 0, 10, 10));
    auto b = Window::create(Rect(0, 0, 10, 10));
    EXPECT_TRUE(a->isHidden());
    a->makeKeyAndVisible();
    b->makeKeyAndVisible();
    EXPECT_FALSE(a->isHidden());
    EXPECT_FALSE(a->isKeyWindow());
    EXPECT_EQ(Application::shared().keyWindow(), b);
    EXPECT_EQ(Application::shared().windows().size(), 2u);
    b.reset();
    EXPECT_EQ(Application::shared().windows().size(), 1u);
    EXPECT_EQ(Application::shared().keyWindow(), nullptr);
}

TEST_F(WindowTest, ApplicationLifeCycleReportsEachStepOnce)
{
    auto log = std::make_shared<QStringList>();
    auto& app = Application::shared();
    app.setDelegate(std::make_shared<LifeCycleDelegate>(log));
    EXPECT_TRUE(app.finishLaunching());
    app.enterBackground();
    app.enterBackground();   // already there
    app.enterForeground();
    app.enterForeground();
    app.enterBackground();
    app.terminate();         // in the background already: only terminate
    app.terminate();
    EXPECT_EQ(*log, (QStringList{"launch", "background", "foreground", "background", "terminate"}));

    log->clear();
    app.reset();
    app.setDelegate(std::make_shared<LifeCycleDelegate>(log));
    app.terminate();         // quitting from the foreground enters the background first
    EXPECT_EQ(*log, (QStringList{"background", "terminate"}));
}

// Screenshots draw the window's layer at its frame; it must show what the layer drawn alone
// shows, including a clipping list scrolled by its bounds origin whose far rows are culled.
TEST_F(WindowTest, TheWindowLayerRendersAsTheLayerAlone)
{
    auto window = Window::create(Rect(0, 0, 60, 100));
    window->setBackgroundColor(Color::white());
    window->makeKeyAndVisible();
    auto list = View::create(Rect(0, 20, 60, 60));
    list->setClipsToBounds(true);
    list->setBounds(Rect(0, 200, 60, 60));
    window->addSubview(list);
    for (int i = 0; i < 40; ++i) {
        auto row = View::create(Rect(0, i * 10, 60, 9));
        row->setBackgroundColor(i % 2 ? Color::red() : Color::blue());
        list->addSubview(row);
    }

    const QImage atFrame = Renderer::render(*window->layer(), window->bounds().size, 2);
    const QImage alone = Renderer::renderLayer(*window->layer(), 2);
    EXPECT_EQ(atFrame.convertToFormat(QImage::Format_ARGB32), alone.convertToFormat(QImage::Format_ARGB32));
    // The window's own image is the same, at the main screen's scale of 2.
    EXPECT_EQ(window->renderImage().convertToFormat(QImage::Format_ARGB32), alone.convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(Renderer::colorAt(atFrame, Point(30, 10)), Color::white());
    EXPECT_EQ(Renderer::colorAt(atFrame, Point(30, 25)), Color::blue());   // row 20 at the list's top
    EXPECT_EQ(Renderer::colorAt(atFrame, Point(30, 35)), Color::red());    // row 21
    EXPECT_EQ(Renderer::colorAt(atFrame, Point(30, 90)), Color::white());  // rows below the list are clipped
}
