#include "components/sidepanel/SidePanelController.h"

#include "platform/core/Log.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ShapeLayer.h"
#include "platform/ui/View.h"
#include "support/SidePanelFixture.h"


namespace {

using SidePanelDecoration = SidePanelFixture;

TEST_F(SidePanelDecoration, ShadowLayerLiesRightBelowTheSlidingView)
{
    show();
    auto slidingLayer = container->slidingControllerView()->layer();
    auto shadow = container->shadowLayer();
    ASSERT_EQ(shadow->superlayer(), slidingLayer->superlayer());
    const auto& siblings = slidingLayer->superlayer()->sublayers();
    const auto at = std::find(siblings.begin(), siblings.end(), slidingLayer);
    ASSERT_NE(at, siblings.begin());
    EXPECT_EQ(*(at - 1), shadow);

    container->openLeftViewAnimated(false);
    step(0.01);
    EXPECT_EQ(shadow->frame(), slidingLayer->frame());   // it follows the sliding view

    container->setShadowEnabled(false);
    EXPECT_EQ(shadow->superlayer(), nullptr);
    container->setShadowEnabled(true, true);   // an animated application does not put it back
    EXPECT_EQ(shadow->superlayer(), nullptr);
    container->setShadowEnabled(true);
    EXPECT_EQ(shadow->superlayer(), slidingLayer->superlayer());
}

TEST_F(SidePanelDecoration, DelegateThatPlacesTheShadowReplacesTheContainers)
{
    struct ShadowMaker : SidePanelControllerDelegate {
        int calls = 0;
        bool applyShadow(SidePanelController&, ui::Layer&, const ui::Rect&) override
        {
            ++calls;
            return true;
        }
    };
    auto maker = std::make_shared<ShadowMaker>();
    container->setDelegate(maker);
    show();
    EXPECT_GT(maker->calls, 0);
    EXPECT_EQ(container->shadowLayer()->superlayer(), nullptr);
}

TEST_F(SidePanelDecoration, TranslucentCentreOnlyWithAtMostOneSide)
{
    container->setCenterViewOpacity(0.5);
    EXPECT_EQ(home->view()->alpha(), 0.5);
    EXPECT_FALSE(home->view()->isOpaque());

    auto right = RecordingController::create(QStringLiteral("right"), journal);
    container->setRightController(right);
    core::LogCapture log;
    container->setCenterViewOpacity(0.3);
    EXPECT_EQ(container->centerViewOpacity(), 0.3);   // stored all the same
    EXPECT_EQ(home->view()->alpha(), 0.5);
    EXPECT_TRUE(log.contains(QStringLiteral("SidePanelController: warning: setting centerViewOpacity")));
    container->setCenterViewOpacity(1.0);
    EXPECT_EQ(home->view()->alpha(), 1.0);
    EXPECT_TRUE(home->view()->isOpaque());
}

TEST_F(SidePanelDecoration, MaskRoundsTheCornersFacingEachSide)
{
    struct Case { SidePanelSide side; bool topLeft; bool topRight; bool bottomLeft; bool bottomRight; };
    const Case cases[] = {
        {SidePanelSide::Left, true, false, true, false},
        {SidePanelSide::Right, false, true, false, true},
        {SidePanelSide::Top, true, true, false, false},
        {SidePanelSide::Bottom, false, false, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.side));
        restart();
        container->setLeftController(nullptr);
        container->setController(RecordingController::create(QStringLiteral("side"), journal), c.side);
        show();
        container->setCenterViewCornerRadius(8);
        auto mask = std::dynamic_pointer_cast<ui::ShapeLayer>(container->slidingControllerView()->layer()->mask());
        ASSERT_TRUE(mask && mask->path());
        const ui::Path& path = *mask->path();
        EXPECT_EQ(!path.contains(ui::Point(0.5, 0.5)), c.topLeft);
        EXPECT_EQ(!path.contains(ui::Point(319.5, 0.5)), c.topRight);
        EXPECT_EQ(!path.contains(ui::Point(0.5, 479.5)), c.bottomLeft);
        EXPECT_EQ(!path.contains(ui::Point(319.5, 479.5)), c.bottomRight);
        EXPECT_TRUE(path.contains(ui::Point(160, 240)));
        EXPECT_EQ(container->shadowLayer()->shadowPath(), path);
        container->setCenterViewCornerRadius(0);
        EXPECT_TRUE(container->generateCenterViewCornerRadiusPath().contains(ui::Point(0.5, 0.5)));
    }
}

} // namespace
