#include "components/hud/ProgressHUD.h"

#include "platform/core/Dispatch.h"
#include "platform/ui/TouchInjector.h"
#include "support/HudFixture.h"

#include <atomic>
#include <cmath>
#include <thread>

using ProgressHUDTimingTest = HudFixture;

namespace {

const QStringList kDone{QStringLiteral("completion"), QStringLiteral("delegate")};

class TouchCounter : public ui::View {
public:
    explicit TouchCounter(const ui::Rect& frame) : ui::View(frame) {}
    int touches = 0;

protected:
    void touchesBegan(const ui::TouchSet&, const ui::Event&) override { ++touches; }
};

} // namespace

// Grace 0.5 s: work ending at 0.2 never shows the overlay, work ending at 1.0 does; either way
// it ends hidden with done() run once.
TEST_F(ProgressHUDTimingTest, GraceTimeAgainstWorkEndingBeforeOrAfterIt)
{
    for (auto [workEnds, becomesVisible] : {std::pair{2, false}, std::pair{10, true}}) {
        events->clear();
        auto hud = addHUD();
        hud->setGraceTime(0.5);
        ManualExecutor work;
        hud->showAnimated(false, [] {}, work.executor(), recordCompletion());
        bool everVisible = false;
        for (int tenth = 1; tenth <= 15; ++tenth) {
            step(0.1);
            if (tenth == workEnds) {
                work.runAll();
                step(0);
            }
            everVisible = everVisible || hud->alpha() == 1.0;
        }
        EXPECT_EQ(everVisible, becomesVisible) << workEnds;
        EXPECT_EQ(hud->alpha(), 0.0);
        EXPECT_EQ(*events, kDone);
    }
}

TEST_F(ProgressHUDTimingTest, GraceTimerOutlivesAHide)
{
    auto hud = addHUD();
    hud->setGraceTime(0.5);
    ManualExecutor work;
    hud->showAnimated(false, [] {}, work.executor());
    step(0.2);
    hud->hide(false);
    step(0.3);   // fires while the work still runs
    EXPECT_EQ(hud->alpha(), 1.0);
    work.runAll();
    step(0);
    EXPECT_EQ(hud->alpha(), 0.0);
}

// Shown at 0 with a minimum of 1.0 and hidden at 0.2: held 0.8 s more, then hidden with the
// flag of the latest call.
TEST_F(ProgressHUDTimingTest, MinimumShowTimeHoldsALateHide)
{
    for (bool hideAnimated : {false, true}) {
        events->clear();
        auto hud = addHUD();
        hud->setMinShowTime(1.0);
        hud->show(!hideAnimated);
        step(0.2);
        hud->hide(hideAnimated);
        step(0.79);
        EXPECT_EQ(hud->alpha(), 1.0);
        EXPECT_TRUE(events->isEmpty());
        step(0.01);
        EXPECT_EQ(hud->alpha(), hideAnimated ? 0.02 : 0.0);
        EXPECT_EQ(events->size(), hideAnimated ? 0 : 1);
        step(0.3);
        EXPECT_EQ(hud->alpha(), 0.0);
        EXPECT_EQ(events->size(), 1);
    }
}

TEST_F(ProgressHUDTimingTest, DoneCancelsAPendingDelayedHide)
{
    auto hud = addHUD();
    hud->show(false);
    hud->hide(true, 1.0);
    step(0.5);
    hud->hide(false);
    EXPECT_EQ(core::pendingCount(hud.get()), 0u);
    hud->show(false);
    step(1.0);
    EXPECT_EQ(hud->alpha(), 1.0);
}

// The shell's toast begins to fade 1.0 s after it was shown, to 0.02, and leaves its host when
// the 0.3 s fade ends.
TEST_F(ProgressHUDTimingTest, ToastFadesAfterOneSecondAndLeavesItsHost)
{
    std::weak_ptr<ProgressHUD> toast = ProgressHUD::showHUDAddedTo(host, true);
    toast.lock()->setMode(ProgressHUDMode::Text);
    toast.lock()->setRemoveFromSuperViewOnHide(true);
    toast.lock()->hide(true, 1.0);
    step(0.99);
    EXPECT_EQ(shownAlpha(*toast.lock()), 1.0);
    step(0.01);
    ASSERT_FALSE(toast.expired());
    EXPECT_EQ(toast.lock()->alpha(), 0.02);
    step(0.15);
    EXPECT_GT(shownAlpha(*toast.lock()), 0.02);
    EXPECT_LT(shownAlpha(*toast.lock()), 1.0);
    step(0.14);
    EXPECT_EQ(toast.lock()->superview(), host);
    step(0.01);
    EXPECT_TRUE(host->subviews().empty());
    step(0);
    EXPECT_TRUE(toast.expired());
}

TEST_F(ProgressHUDTimingTest, HideForViewTakesTheTopmostOverlayOnly)
{
    EXPECT_FALSE(ProgressHUD::hideHUDForView(host, true));
    auto first = ProgressHUD::showHUDAddedTo(host, false);
    auto second = ProgressHUD::showHUDAddedTo(host, false);
    EXPECT_TRUE(ProgressHUD::hideHUDForView(host, true));
    step(0.3);
    EXPECT_EQ(ProgressHUD::allHUDsForView(host), std::vector{first});
    EXPECT_EQ(first->alpha(), 1.0);
    EXPECT_EQ(ProgressHUD::hideAllHUDsForView(host, false), 1u);
    EXPECT_TRUE(host->subviews().empty());
}

TEST_F(ProgressHUDTimingTest, CleanUpIsPostedEvenWhenTheWorkRunsInline)
{
    auto hud = addHUD();
    hud->showAnimated(false, [] {}, [](std::function<void()> task) { task(); }, recordCompletion());
    EXPECT_TRUE(hud->taskInProgress());
    EXPECT_EQ(hud->alpha(), 1.0);
    step(0);
    EXPECT_FALSE(hud->taskInProgress());
    EXPECT_EQ(*events, kDone);

    // The method form runs on a thread of its own; its object arrives, and the completion
    // that ran above does not run again.
    auto seen = std::make_shared<std::atomic<int>>(0);
    hud->showWhileExecuting([seen](const std::shared_ptr<void>& object) { *seen = *std::static_pointer_cast<int>(object); },
                            nullptr, std::make_shared<int>(2), false);
    ASSERT_TRUE(core::RunLoop::main().runUntil([&] { return !hud->taskInProgress(); }));
    EXPECT_EQ(*seen, 2);
    EXPECT_EQ(events->size(), 3);
}

// Hidden, the overlay lets touches through to the view below; shown, it takes them.
TEST_F(ProgressHUDTimingTest, OnlyAShownOverlayTakesTouches)
{
    auto below = std::make_shared<TouchCounter>(host->bounds());
    host->addSubview(below);
    auto hud = addHUD();
    ui::TouchInjector::tap(*window, {160, 100});
    hud->show(false);
    ui::TouchInjector::tap(*window, {160, 100});
    EXPECT_EQ(below->touches, 1);
    hud->hide(true);
    step(0.3);
    ui::TouchInjector::tap(*window, {160, 100});
    EXPECT_EQ(below->touches, 2);
}

TEST_F(ProgressHUDTimingTest, ReshowResetsTheScaleOfAZoomingHide)
{
    for (bool reshowAnimated : {false, true}) {
        auto hud = addHUD();
        hud->setAnimationType(ProgressHUDAnimation::Shrink);
        hud->show(true);
        hud->hide(true);
        step(0.3);
        ASSERT_EQ(hud->transform(), ui::Transform::scale(0.5, 0.5));
        hud->show(reshowAnimated);
        EXPECT_TRUE(hud->transform().isIdentity()) << reshowAnimated;
    }
}

// Neither timer, the delayed hide, the fade's end nor the clean-up after work may reach an
// overlay that has gone.
TEST_F(ProgressHUDTimingTest, PendingCallsNeverReachADestroyedOverlay)
{
    const std::vector<std::function<void(ProgressHUD&)>> pending{
        [](ProgressHUD& hud) { hud.setMinShowTime(1); hud.show(false); hud.hide(false); },
        [](ProgressHUD& hud) { hud.setGraceTime(1); hud.setTaskInProgress(true); hud.show(false); },
        [](ProgressHUD& hud) { hud.show(false); hud.hide(false, 1); },
        [](ProgressHUD& hud) { hud.show(false); hud.hide(true); },
        [](ProgressHUD& hud) { hud.showAnimated(false, [] {}); },
        [](ProgressHUD& hud) { std::thread([&hud] { hud.setLabelText(QStringLiteral("late")); }).join(); },
    };
    for (std::size_t i = 0; i < pending.size(); ++i) {
        std::weak_ptr<ProgressHUD> weak = addHUD();
        pending[i](*weak.lock());
        weak.lock()->removeFromSuperview();
        EXPECT_TRUE(weak.expired()) << i;
        step(2);
        EXPECT_TRUE(events->isEmpty()) << i;
    }
}

TEST(ProgressHUDThreadDeathTest, ShowingIsForTheLoopThreadOnly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto hud = ProgressHUD::create(ui::Rect(0, 0, 100, 100));
    EXPECT_DEATH(std::thread([&] { hud->show(false); }).join(), "run loop's thread");
}
