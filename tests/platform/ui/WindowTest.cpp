#include "platform/ui/Window.h"

#include "platform/ui/Renderer.h"
#include "tests/support/UiFixture.h"
#include "support/LoggingController.h"


using namespace ui;
using uitest::LoggingController;

class WindowTest : public UiFixture {};

TEST_F(WindowTest, ARootMayReplaceItselfFromItsOwnCallback)
{
    auto log = std::make_shared<QStringList>();
    auto window = Window::create(Screen::main().bounds());
    window->makeKeyAndVisible();
    auto home = LoggingController::create("home", log);
    auto start = LoggingController::create("start", log);
    start->onDidAppear = [&, s = start.get()] {   // the start-up screen hands over to the home screen
        s->view()->window()->setRootViewController(home);
        log->append(QStringLiteral("start:still here, %1").arg(home->view()->window() ? "next shown" : "?"));
    };
    const std::weak_ptr<ViewController> weakStart = start;
    window->setRootViewController(start);
    start.reset();
    step();
    EXPECT_EQ(*log, (QStringList{"start:willAppear", "start:didAppear", "start:willDisappear", "start:didDisappear",
                                 "home:willAppear", "start:still here, next shown", "home:didAppear"}));
    EXPECT_TRUE(weakStart.expired());
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
