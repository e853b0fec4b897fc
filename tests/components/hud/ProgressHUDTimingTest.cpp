#include "components/hud/ProgressHUD.h"

#include "components/hud/ProgressIndicator.h"
#include "components/hud/RoundProgressView.h"
#include "platform/core/Dispatch.h"
#include "platform/ui/Layer.h"
#include "platform/ui/TouchInjector.h"
#include "support/HudFixture.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using ProgressHUDTimingTest = HudFixture;

namespace {

const QStringList kDone{QStringLiteral("completion"), QStringLiteral("delegate")};

} // namespace

// Grace 0.5 s: work ending at 0.2 never shows the overlay, work ending at 1.0 does; either way
// it ends hidden with done() run once. A hide while the work runs does not stop the timer.
TEST_F(ProgressHUDTimingTest, GraceTimeAgainstWorkEndingBeforeOrAfterIt)
{
    std::vector<std::function<void()>> tasks;   // held until the test ends them
    const ProgressHUD::Executor holding = [&](std::function<void()> task) { tasks.push_back(std::move(task)); };
    const auto endWork = [&] {
        for (auto& task : std::exchange(tasks, {}))
            task();
    };
    for (auto [workEnds, becomesVisible] : {std::pair{2, false}, std::pair{10, true}}) {
        events.clear();
        auto hud = addHUD();
        hud->setGraceTime(0.5);
        hud->showAnimated(false, [] {}, holding, recordCompletion());
        bool everVisible = false;
        for (int tenth = 1; tenth <= 15; ++tenth) {
            step(0.1);
            if (tenth == workEnds) {
                endWork();
                step(0);
            }
            everVisible = everVisible || hud->alpha() == 1.0;
        }
        EXPECT_EQ(everVisible, becomesVisible) << workEnds;
        EXPECT_EQ(hud->alpha(), 0.0);
        EXPECT_EQ(events, kDone);
    }
    auto hud = addHUD();
    hud->setGraceTime(0.5);
    hud->showAnimated(false, [] {}, holding);
    step(0.2);
    hud->hide(false);
    step(0.3);
    EXPECT_EQ(hud->alpha(), 1.0);
    endWork();
    step(0);
    EXPECT_EQ(hud->alpha(), 0.0);
}

// Shown at 0 with a minimum of 1.0 and hidden at 0.2: held 0.8 s more, then hidden with the
// flag of the latest call.
TEST_F(ProgressHUDTimingTest, MinimumShowTimeHoldsALateHide)
{
    for (bool hideAnimated : {false, true}) {
        events.clear();
        auto hud = addHUD();
        hud->setMinShowTime(1.0);
        hud->show(!hideAnimated);
        step(0.2);
        hud->hide(hideAnimated);
        step(0.79);
        EXPECT_EQ(hud->alpha(), 1.0);
        EXPECT_TRUE(events.isEmpty());
        step(0.01);
        EXPECT_EQ(hud->alpha(), hideAnimated ? 0.02 : 0.0);
        EXPECT_EQ(events.size(), hideAnimated ? 0 : 1);
        step(0.3);
        EXPECT_EQ(hud->alpha(), 0.0);
        EXPECT_EQ(events.size(), 1);
    }
}

// The shell's toast begins to fade 1.0 s after it was shown, to 0.02, and leaves its host when
// the 0.3 s fade ends.
TEST_F(ProgressHUDTimingTest, ToastFadesAfterOneSecondAndLeavesItsHost)
{
    std::weak_ptr<ProgressHUD> toast = ProgressHUD::showHUDAddedTo(host, true);
    toast.lock()->setMode(ProgressHUDMode::Text);
    toast.lock()->setRemoveFromSuperViewOnHide(true);
    toast.lock()->hide(true, 1.0);
    const auto shownAlpha = [&] { return toast.lock()->layer()->presentation()->opacity(); };
    step(0.99);
    EXPECT_EQ(shownAlpha(), 1.0);
    step(0.01);
    ASSERT_FALSE(toast.expired());
    EXPECT_EQ(toast.lock()->alpha(), 0.02);
    step(0.15);
    EXPECT_GT(shownAlpha(), 0.02);
    EXPECT_LT(shownAlpha(), 1.0);
    step(0.14);
    EXPECT_EQ(toast.lock()->superview(), host);
    step(0.01);
    EXPECT_TRUE(host->subviews().empty());
    step(0);
    EXPECT_TRUE(toast.expired());
}

// The completion runs, then is cleared: one that it sets for itself does not survive. Work run
// inline still ends in a posted clean-up; the method form passes its object to a thread.
TEST_F(ProgressHUDTimingTest, CompletionRunsOnceAfterPostedCleanUp)
{
    auto hud = addHUD();
    hud->setCompletionBlock([this, raw = hud.get()] {
        events << QStringLiteral("completion");
        raw->setCompletionBlock(recordCompletion());
    });
    hud->show(false);
    hud->hide(false);
    EXPECT_EQ(events, kDone);
    EXPECT_FALSE(hud->completionBlock());

    hud->showAnimated(false, [] {}, [](std::function<void()> task) { task(); });
    EXPECT_TRUE(hud->taskInProgress());
    EXPECT_EQ(hud->alpha(), 1.0);
    step(0);
    EXPECT_FALSE(hud->taskInProgress());
    EXPECT_EQ(events, kDone + QStringList{QStringLiteral("delegate")});

    auto seen = std::make_shared<std::atomic<int>>(0);
    hud->showWhileExecuting([seen](const std::shared_ptr<void>& object) { *seen = *std::static_pointer_cast<int>(object); },
                            nullptr, std::make_shared<int>(2), false);
    ASSERT_TRUE(core::RunLoop::main().runUntil([&] { return !hud->taskInProgress(); }));
    EXPECT_EQ(*seen, 2);
}

// Hidden, the overlay lets touches through to the view below; shown, it takes them.
TEST_F(ProgressHUDTimingTest, OnlyAShownOverlayTakesTouches)
{
    struct TouchCounter : ui::View {
        explicit TouchCounter(const ui::Rect& frame) : ui::View(frame) {}
        int touches = 0;
        void touchesBegan(const ui::TouchSet&, const ui::Event&) override { ++touches; }
    };
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

// A reshow starts afresh: the hide before it cancelled a pending delayed hide, and the scale
// of a zooming hide is reset.
TEST_F(ProgressHUDTimingTest, ReshowStartsAfresh)
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
    hud->setAnimationType(ProgressHUDAnimation::Shrink);
    for (bool reshowAnimated : {false, true}) {
        hud->hide(true);
        step(0.3);
        ASSERT_EQ(hud->transform(), ui::Transform::scale(0.5, 0.5));
        hud->show(reshowAnimated);
        EXPECT_TRUE(hud->transform().isIdentity()) << reshowAnimated;
        step(0.3);
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
        EXPECT_TRUE(events.isEmpty()) << i;
    }
}

TEST(ProgressHUDThreadDeathTest, ShowingIsForTheLoopThreadOnly)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    auto hud = ProgressHUD::create(ui::Rect(0, 0, 100, 100));
    EXPECT_DEATH(std::thread([&] { hud->show(false); }).join(), "run loop's thread");
}

// Both forms: the work runs on another thread, the overlay appears once the grace time has
// passed while it runs, the loop keeps turning, and the work's progress reaches the pie before
// the end comes back to the loop: hidden, then the completion, then the delegate.
TEST_F(ProgressHUDTimingTest, WorkRunsOffTheLoopWhileTheOverlayShows)
{
    for (bool methodForm : {true, false}) {
        events.clear();
        auto hud = addHUD();
        hud->setMode(ProgressHUDMode::Pie);
        hud->setGraceTime(0.5);
        std::promise<void> release;
        std::atomic<bool> started = false, onLoopThread = false;
        const auto body = [&, hud, released = release.get_future().share(), loop = std::this_thread::get_id()] {
            onLoopThread = std::this_thread::get_id() == loop;
            started = true;
            released.wait_for(std::chrono::seconds(5));   // bounded: work wrongly on the loop fails, not hangs
            hud->setProgress(0.75f);
            hud->setLabelText(QStringLiteral("完成"));
        };
        if (methodForm)
            hud->showWhileExecuting([body](const std::shared_ptr<void>&) { body(); }, nullptr, nullptr, false);
        else
            hud->showAnimated(false, body, recordCompletion());
        ASSERT_TRUE(core::RunLoop::main().runUntil([&] { return started.load(); }));
        EXPECT_FALSE(onLoopThread) << methodForm;

        step(0.4);
        EXPECT_EQ(hud->alpha(), 0.0) << methodForm;
        step(0.1);
        EXPECT_EQ(hud->alpha(), 1.0) << methodForm;
        bool turned = false;
        core::post([&] { turned = true; });
        step(0);
        EXPECT_TRUE(turned);
        EXPECT_TRUE(hud->taskInProgress());

        release.set_value();
        ASSERT_TRUE(core::RunLoop::main().runUntil([&] { return !hud->taskInProgress(); }));
        const auto pie = std::dynamic_pointer_cast<RoundProgressView>(hud->indicator());
        ASSERT_TRUE(pie);
        EXPECT_EQ(pie->progress(), 0.75f) << methodForm;
        EXPECT_EQ(hud->labelText(), QStringLiteral("完成"));
        EXPECT_EQ(hud->alpha(), 0.0);
        EXPECT_EQ(events, methodForm ? QStringList{QStringLiteral("delegate")} : kDone) << methodForm;
    }
}

// A caller's indicator that shows progress is given it; one that does not is left alone.
TEST_F(ProgressHUDTimingTest, CustomIndicatorTakingProgressReceivesIt)
{
    struct Dial : ui::View, ProgressIndicator {
        Dial() : ui::View(ui::Rect(0, 0, 20, 20)) {}
        void setProgress(float progress) override { shown = progress; }
        float shown = -1;
    };
    auto hud = addHUD();
    auto dial = std::make_shared<Dial>();
    hud->setCustomView(dial);
    hud->setMode(ProgressHUDMode::CustomView);
    hud->setProgress(0.4f);
    EXPECT_EQ(dial->shown, 0.4f);
    hud->setCustomView(ui::View::create(ui::Rect(0, 0, 20, 20)));
    hud->setProgress(0.9f);
    EXPECT_EQ(dial->shown, 0.4f);
    EXPECT_EQ(hud->progress(), 0.9f);
}

// Several overlays stacked on a view: the topmost is the one found and the one hidden by the
// view; it leaves the host once it has faded, and nothing holds it after. The others, shown or
// hidden by their own hand (which leaves them in place), and the host's other views stay.
TEST_F(ProgressHUDTimingTest, HidingByTheViewTakesTheTopmostOverlayAway)
{
    auto bottom = addHUD();
    bottom->show(false);
    auto plain = ui::View::create(host->bounds());
    host->addSubview(plain);
    auto middle = addHUD();
    middle->show(false);
    std::weak_ptr<ProgressHUD> top = ProgressHUD::showHUDAddedTo(host, false);
    EXPECT_EQ(ProgressHUD::HUDForView(host), top.lock());
    EXPECT_EQ(ProgressHUD::allHUDsForView(host), (std::vector<std::shared_ptr<ProgressHUD>>{bottom, middle, top.lock()}));

    EXPECT_TRUE(ProgressHUD::hideHUDForView(host, true));
    step(0.29);
    ASSERT_FALSE(top.expired());
    EXPECT_EQ(top.lock()->superview(), host);
    step(0.01);
    step(0);   // and what its end posted
    EXPECT_TRUE(top.expired());
    EXPECT_EQ(ProgressHUD::HUDForView(host), middle);
    EXPECT_EQ(middle->alpha(), 1.0);

    middle->hide(false);   // hidden by its own hand: stays, transparent, and is still found
    EXPECT_EQ(middle->superview(), host);
    EXPECT_EQ(ProgressHUD::HUDForView(host), middle);
    EXPECT_TRUE(ProgressHUD::hideHUDForView(host, false));
    EXPECT_EQ(middle->superview(), nullptr);
    EXPECT_EQ(ProgressHUD::HUDForView(host), bottom);
    EXPECT_EQ(bottom->alpha(), 1.0);
    EXPECT_EQ(host->subviews(), (std::vector<std::shared_ptr<ui::View>>{bottom, plain}));

    EXPECT_TRUE(ProgressHUD::hideHUDForView(host, false));
    EXPECT_FALSE(ProgressHUD::hideHUDForView(host, false));
    EXPECT_EQ(host->subviews(), std::vector<std::shared_ptr<ui::View>>{plain});
}
