#include "components/sidepanel/PanelSideController.h"

#include "components/sidepanel/SidePanelController.h"
#include "platform/ui/Animation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/View.h"

#include "tests/support/UiFixture.h"

namespace {

constexpr auto Left = SidePanelSide::Left;

class PanelSide : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        ui::Screen::setMain(ui::Size(320, 480), 2);
    }
};

TEST_F(PanelSide, WrappedViewKeepsItsSizeAgainstTheOuterEdge)
{
    // The side views are as large as the 320 × 480 container; every ledge is 44.
    struct Case { SidePanelSide side; double constrained; ui::Rect frame; };
    const Case cases[] = {
        {Left, PanelSideController::kAutomaticSize, ui::Rect(0, 0, 276, 480)},
        {SidePanelSide::Right, PanelSideController::kAutomaticSize, ui::Rect(44, 0, 276, 480)},
        {SidePanelSide::Top, 200, ui::Rect(0, 0, 320, 200)},
        {SidePanelSide::Bottom, 200, ui::Rect(0, 280, 320, 200)},
        {Left, 0, ui::Rect(0, 0, 276, 480)},
        {SidePanelSide::Right, 400, ui::Rect(-80, 0, 400, 480)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.side) << " " << c.constrained);
        auto wrapped = ui::ViewController::create();
        auto sideController = PanelSideController::sideControllerWithViewController(wrapped, c.constrained);
        auto container = SidePanelController::create(ui::ViewController::create());
        container->setController(sideController, c.side);
        sideController->view();   // loading constrains it
        EXPECT_EQ(wrapped->view()->frame(), c.frame);
    }
}

TEST_F(PanelSide, ChangingTheSizeAnimatesUnlessToldNot)
{
    auto wrapped = ui::ViewController::create();
    auto sideController = PanelSideController::autoConstrainedSideControllerWithViewController(wrapped);
    auto container = SidePanelController::create(ui::ViewController::create(), sideController);
    sideController->view();
    step(0.5);
    auto layer = wrapped->view()->layer();
    ASSERT_TRUE(layer->animationKeys().isEmpty());

    sideController->setConstrainedSize(100);
    EXPECT_EQ(wrapped->view()->frame(), ui::Rect(0, 0, 100, 480));
    auto bounds = layer->animationForKey(QStringLiteral("bounds"));
    ASSERT_TRUE(bounds);
    EXPECT_EQ(bounds->duration(), 0.3);
    step(0.5);

    sideController->setConstrainedSize(120, false);
    EXPECT_EQ(wrapped->view()->frame(), ui::Rect(0, 0, 120, 480));
    EXPECT_TRUE(layer->animationKeys().isEmpty());
}

TEST_F(PanelSide, OutsideAContainerNothingIsConstrained)
{
    auto wrapped = ui::ViewController::create();
    auto sideController = PanelSideController::create(wrapped, 100);
    sideController->view();
    const ui::Rect before = wrapped->view()->frame();
    sideController->shrinkSideAnimated(false);
    sideController->setConstrainedSize(50);
    EXPECT_EQ(wrapped->view()->frame(), before);
    EXPECT_TRUE(wrapped->view()->layer()->animationKeys().isEmpty());
    // Found from the wrapped controller; a plain wrapper is no side controller.
    EXPECT_EQ(PanelSideController::sideController(*wrapped), sideController);
    auto plainWrapped = ui::ViewController::create();
    auto plain = PanelWrapController::create(plainWrapped);
    EXPECT_EQ(PanelSideController::sideController(*plainWrapped), nullptr);
}

TEST_F(PanelSide, AppearanceTakesTheWrappedBackgroundAndConstrains)
{
    auto wrapped = ui::ViewController::create();
    wrapped->view()->setBackgroundColor(ui::Color::fromRGB(0x2E7D32));
    auto sideController = PanelSideController::create(wrapped, 150);
    auto container = SidePanelController::create(ui::ViewController::create(), sideController);
    sideController->view();
    step(0.5);   // the loading's animated constraint has run
    wrapped->view()->setFrame(ui::Rect(0, 0, 320, 480));
    sideController->viewWillAppear(false);
    EXPECT_EQ(sideController->view()->backgroundColor(), ui::Color::fromRGB(0x2E7D32));
    EXPECT_EQ(wrapped->view()->frame(), ui::Rect(0, 0, 150, 480));
    EXPECT_TRUE(wrapped->view()->layer()->animationKeys().isEmpty());   // as the appearance was
}

} // namespace
