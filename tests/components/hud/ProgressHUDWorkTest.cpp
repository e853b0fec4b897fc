#include "components/hud/ProgressHUD.h"

#include "components/hud/ProgressIndicator.h"
#include "components/hud/RoundProgressView.h"
#include "platform/core/Dispatch.h"
#include "support/HudFixture.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

using ProgressHUDWorkTest = HudFixture;

namespace {

// Work that runs until the test lets it finish, then reports its progress from its own thread.
struct GatedWork {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> started = false;
    std::atomic<bool> onLoopThread = false;

    std::function<void()> body(const std::shared_ptr<ProgressHUD>& hud)
    {
        return [this, hud, released = released] {
            onLoopThread = std::this_thread::get_id() == mainThread;
            started = true;
            // Bounded, so that work wrongly run on the loop fails instead of hanging.
            released.wait_for(std::chrono::seconds(5));
            hud->setProgress(0.75f);
            hud->setLabelText(QStringLiteral("完成"));
        };
    }
    std::thread::id mainThread = std::this_thread::get_id();
};

class Dial : public ui::View, public ProgressIndicator {
public:
    Dial() : ui::View(ui::Rect(0, 0, 20, 20)) {}
    void setProgress(float progress) override { shown = progress; }
    float shown = -1;
};

bool pumpUntil(const std::function<bool()>& done)
{
    return core::RunLoop::main().runUntil(done);
}

} // namespace

// Both forms: the work runs on another thread, the overlay appears once the grace time has
// passed while it runs, the loop keeps turning, and the work's progress reaches the pie before
// the end comes back to the loop: hidden, then the completion, then the delegate.
TEST_F(ProgressHUDWorkTest, WorkRunsOffTheLoopWhileTheOverlayShows)
{
    for (bool methodForm : {true, false}) {
        events->clear();
        auto hud = addHUD();
        hud->setMode(ProgressHUDMode::Pie);
        hud->setGraceTime(0.5);
        GatedWork work;
        if (methodForm)
            hud->showWhileExecuting([body = work.body(hud)](const std::shared_ptr<void>&) { body(); }, nullptr, nullptr,
                                    false);
        else
            hud->showAnimated(false, work.body(hud), recordCompletion());
        ASSERT_TRUE(pumpUntil([&] { return work.started.load(); }));
        EXPECT_FALSE(work.onLoopThread) << methodForm;

        step(0.4);
        EXPECT_EQ(hud->alpha(), 0.0) << methodForm;
        step(0.1);
        EXPECT_EQ(hud->alpha(), 1.0) << methodForm;
        bool turned = false;
        core::post([&] { turned = true; });
        step(0);
        EXPECT_TRUE(turned);
        EXPECT_TRUE(hud->taskInProgress());

        work.release.set_value();
        ASSERT_TRUE(pumpUntil([&] { return !hud->taskInProgress(); }));
        const auto pie = std::dynamic_pointer_cast<RoundProgressView>(hud->indicator());
        ASSERT_TRUE(pie);
        EXPECT_EQ(pie->progress(), 0.75f) << methodForm;
        EXPECT_EQ(hud->progress(), 0.75f);
        EXPECT_EQ(hud->labelText(), QStringLiteral("完成"));
        EXPECT_EQ(hud->alpha(), 0.0);
        const QStringList expected = methodForm ? QStringList{QStringLiteral("delegate")}
                                                : QStringList{QStringLiteral("completion"), QStringLiteral("delegate")};
        EXPECT_EQ(*events, expected) << methodForm;
    }
}

// The completion runs, then is cleared: one that it sets for itself does not survive.
TEST_F(ProgressHUDWorkTest, DoneRunsTheCompletionThenClearsIt)
{
    auto hud = addHUD();
    ProgressHUD* raw = hud.get();
    hud->setCompletionBlock([this, raw] {
        events->append(QStringLiteral("completion"));
        raw->setCompletionBlock(recordCompletion());
    });
    hud->show(false);
    hud->hide(false);
    EXPECT_EQ(*events, (QStringList{QStringLiteral("completion"), QStringLiteral("delegate")}));
    EXPECT_FALSE(hud->completionBlock());

    hud->show(false);
    hud->hide(false);
    EXPECT_EQ(events->count(QStringLiteral("completion")), 1);
}

// A caller's indicator that shows progress is given it; one that does not is left alone.
TEST_F(ProgressHUDWorkTest, CustomIndicatorTakingProgressReceivesIt)
{
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
