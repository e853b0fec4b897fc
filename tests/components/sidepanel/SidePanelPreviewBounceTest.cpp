#include "components/sidepanel/SidePanelController.h"

#include "components/sidepanel/SidePanelGeometry.h"
#include "platform/ui/Layer.h"
#include "platform/ui/View.h"
#include "support/SidePanelFixture.h"

#include <QStringList>
#include <algorithm>
#include <cmath>

namespace {

constexpr auto Left = SidePanelSide::Left;
constexpr auto Right = SidePanelSide::Right;
const double kDefaultDuration = double(1.2f);
const double kDefaultDamping = double(0.4f);

// Records the three preview notices.
struct PreviewWatcher : SidePanelControllerDelegate {
    std::optional<bool> answer;
    QStringList seen;
    std::optional<bool> shouldPreviewBounceViewSide(SidePanelController&, SidePanelSide) override { return answer; }
    void willPreviewBounceViewSide(SidePanelController&, SidePanelSide side, bool) override
    {
        seen << QStringLiteral("will %1").arg(int(side));
    }
    void didPreviewBounceViewSide(SidePanelController&, SidePanelSide side, bool) override
    {
        seen << QStringLiteral("did %1").arg(int(side));
    }
};

TEST(SidePanelBounceCurve, DefaultCurveSwingsToTheDistanceAndDiesDown)
{
    const auto heights = SidePanelGeometry::previewBounceHeights(40, 4, kDefaultDamping, kDefaultDuration);
    ASSERT_TRUE(heights);
    ASSERT_EQ(heights->size(), 100u);   // 120 hundredths, capped
    const std::vector<std::int32_t> start(heights->begin(), heights->begin() + 9);
    EXPECT_EQ(start, (std::vector<std::int32_t>{0, 8, 16, 22, 28, 32, 35, 38, 39}));
    // The tenth value (0.108 s) is where the curve touches the distance, truncated.
    EXPECT_GE((*heights)[9], 39);
    EXPECT_LE((*heights)[9], 40);
    // Values are 0.012 s apart; each half period (0.3 s, 25 values) is one shrinking swing.
    EXPECT_LE(*std::max_element(heights->begin(), heights->end()), 40);
    EXPECT_LE((*heights)[25], 1);
    EXPECT_EQ(*std::max_element(heights->begin() + 25, heights->begin() + 50), 10);
    EXPECT_EQ(*std::max_element(heights->begin() + 50, heights->end()), 2);
    EXPECT_TRUE(std::all_of(heights->begin() + 70, heights->end(), [](std::int32_t h) { return h == 0; }));
}

using SidePanelPreviewBounce = SidePanelFixture;

TEST_F(SidePanelPreviewBounce, RunsOnThePresentationOnlyAndCompletesOnce)
{
    auto watcher = std::make_shared<PreviewWatcher>();
    container->setDelegate(watcher);
    show();
    auto slidingLayer = container->slidingControllerView()->layer();
    const ui::Rect frame = container->slidingControllerView()->frame();
    int completions = 0;
    ASSERT_TRUE(container->previewBounceView(Left, [&](SidePanelController&, bool ok) { completions += ok ? 1 : 100; }));
    EXPECT_FALSE(menu->view()->isHidden());
    EXPECT_EQ(watcher->seen, QStringList{QStringLiteral("will 1")});
    EXPECT_FALSE(container->previewBounceView(Left));   // one at a time

    step(0.108);   // the first swing's top
    EXPECT_NEAR(slidingLayer->presentation()->position().x - slidingLayer->position().x, 40, 1);
    EXPECT_EQ(container->slidingControllerView()->frame(), frame);
    EXPECT_EQ(container->offset(), 0);

    step(1.2);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(watcher->seen, (QStringList{QStringLiteral("will 1"), QStringLiteral("did 1")}));
    EXPECT_TRUE(menu->view()->isHidden());
    EXPECT_TRUE(container->previewBounceView(Left));   // free again
    step(1.3);
}

TEST_F(SidePanelPreviewBounce, RefusalsNeitherCompleteNorNotify)
{
    auto watcher = std::make_shared<PreviewWatcher>();
    container->setDelegate(watcher);
    show();
    auto never = [](SidePanelController&, bool) { ADD_FAILURE() << "no completion for a refusal"; };
    EXPECT_FALSE(container->previewBounceView(Right, never));   // no controller
    EXPECT_FALSE(container->previewBounceView(Left, 40, 1.2, 0, 0.4, true, never));
    EXPECT_FALSE(container->previewBounceView(Left, 40, -1, 4, 0.4, true, never));
    watcher->answer = false;
    EXPECT_FALSE(container->previewBounceView(Left, never));
    watcher->answer = std::nullopt;
    container->openLeftViewAnimated(false);
    step(0.01);
    EXPECT_FALSE(container->previewBounceView(Left, never));   // already open
    step(2);
    EXPECT_TRUE(watcher->seen.isEmpty());
}

} // namespace
