#include "platform/ui/InterfaceRotation.h"

#include "platform/core/Clock.h"
#include "platform/ui/Layer.h"
#include "platform/ui/MemoryWarning.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"
#include "support/CoversWindow.h"

#include <functional>
#include <utility>
#include <vector>

using namespace ui;
using O = InterfaceOrientation;
using uitest::expectCoversWindow;

namespace {

// Writes each rotation call as "name call orientation duration @ seconds since the start".
class Turning : public ViewController {
public:
    static std::shared_ptr<Turning> create(const char* name, std::shared_ptr<QStringList> log, double start)
    {
        auto c = std::shared_ptr<Turning>(new Turning());
        c->m_name = QString::fromLatin1(name);
        c->m_log = std::move(log);
        c->m_start = start;
        return c;
    }
    bool allowLandscape = true;
    std::vector<O> asked;
    bool shouldAutorotateToInterfaceOrientation(O o) override
    {
        asked.push_back(o);
        return allowLandscape || !isLandscape(o);
    }
    void willRotateToInterfaceOrientation(O o, double d) override { add("willRotate", o, d); }
    void willAnimateFirstHalfOfRotationToInterfaceOrientation(O o, double d) override { add("firstHalf", o, d); }
    void willAnimateRotationToInterfaceOrientation(O o, double d) override { add("willAnimate", o, d); }
    void willAnimateSecondHalfOfRotationFromInterfaceOrientation(O o, double d) override { add("secondHalf", o, d); }
    void didRotateFromInterfaceOrientation(O o) override { add("didRotate", o, 0); }

private:
    void add(const char* call, O o, double d)
    {
        m_log->append(QStringLiteral("%1 %2 %3 %4 @%5").arg(m_name, QLatin1String(call)).arg(int(o)).arg(d)
                          .arg(core::Clock::now() - m_start));
    }
    QString m_name;
    std::shared_ptr<QStringList> m_log;
    double m_start = 0;
};

class InterfaceRotationTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        root = Turning::create("root", log, core::Clock::now());
        child = Turning::create("child", log, core::Clock::now());
        offscreenChild = Turning::create("offscreen", log, core::Clock::now());
        root->addChildViewController(child);
        root->addChildViewController(offscreenChild);
        root->view()->addSubview(child->view());
        offscreenChild->view();
        window = Window::create(Rect(0, 0, 320, 480));
        window->setRootViewController(root);
        window->makeKeyAndVisible();
        step();
    }

    std::shared_ptr<QStringList> log = std::make_shared<QStringList>();
    std::shared_ptr<Turning> root, child, offscreenChild;
    std::shared_ptr<Window> window;
};

} // namespace

TEST_F(InterfaceRotationTest, TheTwoHalvesRunAroundTheTurnAndReachTheChildrenInView)
{
    ASSERT_TRUE(InterfaceRotation::rotate(window, O::LandscapeLeft, 0.4));
    EXPECT_EQ(*log, (QStringList{"root willRotate 4 0.4 @0", "child willRotate 4 0.4 @0",
                                 "root firstHalf 4 0.2 @0", "child firstHalf 4 0.2 @0"}));
    EXPECT_EQ(Application::shared().statusBarOrientation(), O::Portrait);

    log->clear();
    step(0.2);
    EXPECT_EQ(*log, (QStringList{"root willAnimate 4 0.2 @0.2", "child willAnimate 4 0.2 @0.2",
                                 "root secondHalf 1 0.2 @0.2", "child secondHalf 1 0.2 @0.2"}));
    EXPECT_EQ(Application::shared().statusBarOrientation(), O::LandscapeLeft);
    // The interface now lies across the portrait screen: wide bounds, the screen's frame.
    EXPECT_EQ(root->view()->bounds().size, Size(480, 320));
    const Rect frame = root->view()->frame();
    EXPECT_NEAR(frame.x(), 0, 1e-9);
    EXPECT_NEAR(frame.y(), 0, 1e-9);
    EXPECT_NEAR(frame.width(), 320, 1e-9);
    EXPECT_NEAR(frame.height(), 480, 1e-9);

    log->clear();
    step(0.2);
    EXPECT_EQ(*log, (QStringList{"root didRotate 1 0 @0.4", "child didRotate 1 0 @0.4"}));
}

TEST_F(InterfaceRotationTest, ARefusalOrTheSameOrientationTurnsNothing)
{
    root->allowLandscape = false;
    EXPECT_FALSE(InterfaceRotation::rotate(window, O::LandscapeRight));
    EXPECT_FALSE(InterfaceRotation::rotate(window, O::Portrait));
    step(1);
    EXPECT_TRUE(log->isEmpty());
    EXPECT_EQ(Application::shared().statusBarOrientation(), O::Portrait);
    EXPECT_EQ(root->view()->bounds().size, Size(320, 480));

    // Upside down is allowed: the same bounds, turned half way round.
    EXPECT_TRUE(InterfaceRotation::rotate(window, O::PortraitUpsideDown, 0));
    step();
    EXPECT_EQ(Application::shared().statusBarOrientation(), O::PortraitUpsideDown);
    EXPECT_EQ(root->view()->bounds().size, Size(320, 480));
    EXPECT_NEAR(root->view()->transform().rotationAngle(), M_PI, 1e-9);
    EXPECT_EQ(log->last(), QStringLiteral("child didRotate 1 0 @1"));
}

// A full-screen screen covers the root while the interface turns: the root is not turned;
// as the screen goes it is asked about the turn (while its view is as it was, so it can catch
// up) and its view comes back across the turned window. A view a warning let go meanwhile
// comes back new, already in the orientation of the day, and its controller is not asked, also
// when something loaded the new view before the dismissal; nor is one the interface turned
// away from and back.
TEST_F(InterfaceRotationTest, ACoveredControllerIsAskedAsItIsUncoveredAndComesBackTurned)
{
    enum class Held { Kept, LetGo, LoadedAgain };
    struct Case {
        const char* name;
        std::vector<O> turns;
        Held view;
        std::vector<O> asked;
        Size bounds;
    };
    const Case cases[] = {
        {"kept", {O::LandscapeRight}, Held::Kept, {O::LandscapeRight}, Size(480, 320)},
        {"let go while covered", {O::LandscapeRight}, Held::LetGo, {}, Size(480, 320)},
        {"let go and loaded again while covered", {O::LandscapeRight}, Held::LoadedAgain, {}, Size(480, 320)},
        {"turned there and back", {O::LandscapeRight, O::Portrait}, Held::Kept, {}, Size(320, 480)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        auto cover = Turning::create("cover", log, core::Clock::now());
        root->presentViewController(cover, false);
        step();
        const auto keptView = root->viewIfLoaded();
        log->clear();
        root->asked.clear();

        for (O to : c.turns) {
            ASSERT_TRUE(InterfaceRotation::rotate(window, to, 0.4));
            step(0.4);
        }
        EXPECT_EQ(log->size(), 5 * c.turns.size());   // the cover's five calls a turn: the covered one turns nothing
        if (c.view != Held::Kept)
            MemoryWarning::post();
        if (c.view == Held::LoadedAgain)
            root->view();
        EXPECT_TRUE(root->asked.empty());
        cover->dismissViewController(false);
        step();
        EXPECT_EQ(root->asked, c.asked);
        const auto view = root->view();
        EXPECT_EQ(view == keptView, c.view == Held::Kept);
        EXPECT_EQ(view->superview(), window);   // in place of an old view, not inside it
        EXPECT_EQ(view->bounds().size, c.bounds);
        expectCoversWindow(*view, *window);
    }
}

// After a turn, the views placed at the window's top level lie across it in the new
// orientation: a presented screen, a presenter's view loaded anew as it is uncovered, a new root.
TEST_F(InterfaceRotationTest, ViewsPlacedAfterATurnLieAcrossTheWindow)
{
    ASSERT_TRUE(InterfaceRotation::rotate(window, O::LandscapeLeft, 0));
    step();
    using Place = std::function<std::shared_ptr<View>()>;
    const std::pair<const char*, Place> placements[] = {
        {"presented", [&] {
             auto presented = ViewController::create();
             root->presentViewController(presented, true);
             step(0.3);
             return presented->view();
         }},
        {"uncovered after a warning", [&] {
             root->dismissViewController(false);
             step();
             root->presentViewController(ViewController::create(), false);
             step();
             MemoryWarning::post();
             EXPECT_FALSE(root->isViewLoaded());
             root->dismissViewController(false);
             step();
             return root->view();
         }},
        {"new root", [&] {
             auto newRoot = ViewController::create();
             window->setRootViewController(newRoot);
             step();
             return newRoot->view();
         }},
    };
    for (const auto& [name, place] : placements) {
        SCOPED_TRACE(name);
        const auto view = place();
        EXPECT_EQ(view->window(), window);
        EXPECT_EQ(view->bounds().size, Size(480, 320));
        expectCoversWindow(*view, *window);
    }
}

// In landscape a screen slides up and back down at the interface's shape, inside its
// transition view: half way either way, the bottom half of it is below the interface.
TEST_F(InterfaceRotationTest, AScreenSlidesInAndOutAtTheInterfacesShape)
{
    ASSERT_TRUE(InterfaceRotation::rotate(window, O::LandscapeRight, 0));
    step();
    auto screen = ViewController::create();
    const auto expectHalfWay = [&] {
        step(ViewController::kTransitionDuration / 2);
        const Rect frame = screen->view()->layer()->presentation()->frame();
        EXPECT_NEAR(frame.x(), 0, 1e-9);
        EXPECT_NEAR(frame.y(), 160, 1e-9);
        EXPECT_NEAR(frame.width(), 480, 1e-9);
        EXPECT_NEAR(frame.height(), 320, 1e-9);
    };
    root->presentViewController(screen, true);
    expectHalfWay();
    step(ViewController::kTransitionDuration / 2);
    screen->dismissViewController(true);
    expectHalfWay();
    step(ViewController::kTransitionDuration / 2);
    EXPECT_FALSE(screen->view()->window());
    EXPECT_EQ(root->view()->bounds().size, Size(480, 320));
}
