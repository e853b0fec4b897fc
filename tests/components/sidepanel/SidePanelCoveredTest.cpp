// The container while a full-screen screen covers it, as the app uses it: a memory warning or a
// turn of the interface in the meantime, then the screen dismissed.
#include "components/sidepanel/PanelWrapController.h"
#include "components/sidepanel/SidePanelController.h"

#include "platform/ui/Application.h"
#include "platform/ui/InterfaceRotation.h"
#include "platform/ui/MemoryWarning.h"
#include "support/SidePanelFixture.h"

namespace {

constexpr double kOpenLeft = 276;   // 320 wide, ledge 44
using O = ui::InterfaceOrientation;

class SidePanelCovered : public SidePanelFixture {
protected:
    // A screen presented from the home screen, as the app's screens are; the container presents it.
    std::shared_ptr<RecordingController> presentFromHome()
    {
        auto screen = RecordingController::create(QStringLiteral("screen"), journal);
        home->presentViewController(screen, false);
        step(0.01);
        EXPECT_EQ(screen->presentingViewController(), container);
        return screen;
    }
};

} // namespace

// A memory warning lets the covered container's views go; the dismissal brings the container
// back with a new view holding the home screen, which hears its appearance, and the menu opens.
TEST_F(SidePanelCovered, AContainerLetGoWhileCoveredComesBackWithTheHomeScreen)
{
    show();
    auto screen = presentFromHome();
    std::weak_ptr<ui::View> oldView = container->view();
    ui::MemoryWarning::post();
    ASSERT_FALSE(container->isViewLoaded());
    EXPECT_TRUE(oldView.expired());

    take();
    screen->dismissViewController(false);
    step(0.01);
    EXPECT_EQ(take(), (QStringList{"screen willDisappear", "home willAppear", "home didAppear", "screen didDisappear"}));
    ASSERT_TRUE(container->isViewLoaded());
    EXPECT_EQ(container->view()->superview(), window);
    EXPECT_EQ(window->subviews().size(), 1u);
    EXPECT_EQ(home->view()->superview(), container->centerView());
    EXPECT_EQ(home->view()->window(), window);
    EXPECT_EQ(home->view()->frame().size, ui::Size(320, 480));
    container->toggleLeftView();
    step(0.5);
    EXPECT_EQ(slidingX(), kOpenLeft);
}

// The interface turns to landscape while a screen covers the container with its menu open. When
// the screen goes the container lies across the window and the menu is still open at the new
// width; a container whose view a warning let go after the turn starts afresh, closed, at the
// new size, also when its view was loaded again before the screen went (a reply asking for it).
// Covered again without a turn, none replays a turn it did not miss.
TEST_F(SidePanelCovered, ATurnWhileCoveredReachesTheContainer)
{
    struct Case {
        const char* name;
        bool letGo;
        bool loadedAgain;
        double x;
    };
    const Case cases[] = {{"kept", false, false, 480 - 44},
                          {"let go after the turn", true, false, 0},
                          {"let go after the turn and loaded again", true, true, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        show();
        container->openLeftViewAnimated(false);
        step(0.5);
        ASSERT_EQ(slidingX(), kOpenLeft);
        auto screen = presentFromHome();

        ASSERT_TRUE(ui::InterfaceRotation::rotate(window, O::LandscapeRight, 0.4));
        step(0.4);
        if (c.letGo)
            ui::MemoryWarning::post();
        if (c.loadedAgain)
            container->view();
        screen->dismissViewController(false);
        step(0.01);

        ASSERT_EQ(ui::Application::shared().statusBarOrientation(), O::LandscapeRight);
        EXPECT_EQ(container->view()->bounds().size, ui::Size(480, 320));
        EXPECT_NEAR(container->view()->frame().width(), 320, 1e-9);   // across the portrait window
        EXPECT_NEAR(container->view()->frame().height(), 480, 1e-9);
        EXPECT_EQ(slidingX(), c.x);
        EXPECT_EQ(container->isSideOpen(SidePanelSide::Left), !c.letGo);
        EXPECT_EQ(container->slidingControllerView()->frame().size, ui::Size(480, 320));

        container->openLeftViewAnimated(false);
        step(0.5);
        presentFromHome()->dismissViewController(false);
        step(0.01);
        EXPECT_EQ(slidingX(), 480 - 44);
    }
}

// The wrapper and the container pass a warning to the controllers they hold; each of those
// hears it once: the home screen, the menu, which the window's root container holds without
// being its parent, and the right side, also while their views have never loaded (the
// container's view loaded, never shown). The top side is not passed the warning and hears it
// from the platform once its view has loaded.
TEST_F(SidePanelCovered, AHeldControllerHearsAWarningOnce)
{
    struct Case {
        const char* name;
        bool shown;
        QStringList heard;
    };
    const Case cases[] = {
        {"shown", true, {"home memoryWarning", "menu memoryWarning", "right memoryWarning", "top memoryWarning",
                         "wrapped memoryWarning"}},
        {"loaded, never shown", false, {"home memoryWarning", "menu memoryWarning", "right memoryWarning",
                                        "wrapped memoryWarning"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        restart();
        home = RecordingController::create(QStringLiteral("home"), journal, true);
        menu = RecordingController::create(QStringLiteral("menu"), journal, true);
        auto right = RecordingController::create(QStringLiteral("right"), journal, true);
        auto top = RecordingController::create(QStringLiteral("top"), journal, true);
        container = SidePanelController::create(home, menu, right, top);
        if (c.shown)
            show();
        else
            container->view();
        EXPECT_EQ(right->isViewLoaded(), c.shown);
        auto wrapped = RecordingController::create(QStringLiteral("wrapped"), journal, true);
        auto wrapper = PanelWrapController::create(wrapped);
        wrapper->view();
        take();
        ui::MemoryWarning::post();
        QStringList heard = take().filter(QStringLiteral("memoryWarning"));
        heard.sort();
        EXPECT_EQ(heard, c.heard);
    }
}
