#include "platform/ui/Animation.h"

#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/BasicAnimation.h"
#include "platform/ui/KeyframeAnimation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Transaction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace ui;

namespace {

class AnimationTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        layer.reset();   // its stop notices are posted: drop them with the rest
        core::RunLoop::main().reset();
    }
    core::ManualClock clock{100};
    std::shared_ptr<Layer> layer = Layer::create();
};

TEST(TimingFunctionTest, CurvesKeepEndsAndBendTheMiddle)
{
    const std::tuple<TimingFunction, double, double> cases[] = {
        {TimingFunction::linear(), 0.25, 0.25},  {TimingFunction::easeIn(), 0.0, 0.2},
        {TimingFunction::easeOut(), 0.3, 1.0},   {TimingFunction::easeInEaseOut(), 0.0, 0.2},
        {TimingFunction::defaultTiming(), 0.3, 1.0}};
    for (const auto& [f, at25Min, at25Max] : cases) {
        EXPECT_DOUBLE_EQ(f.value(0), 0);
        EXPECT_NEAR(f.value(1), 1, 1e-9);
        EXPECT_GE(f.value(0.25), at25Min);
        EXPECT_LE(f.value(0.25), at25Max);
        EXPECT_LT(f.value(0.4), f.value(0.6));
    }
    EXPECT_NEAR(TimingFunction::easeInEaseOut().value(0.5), 0.5, 1e-6);
}

TEST_F(AnimationTest, ModelChangesAtOncePresentationFollowsTheClock)
{
    layer->setPosition({100, 50});
    auto linear = BasicAnimation::create("position.x", 0.0, 100.0, 1.0);
    linear->setTimingFunction(TimingFunction::linear());
    layer->addAnimation(linear, "slide");

    EXPECT_DOUBLE_EQ(layer->presentation()->position().x, 0);
    clock.advance(0.25);
    EXPECT_DOUBLE_EQ(layer->position().x, 100);
    EXPECT_NEAR(layer->presentation()->position().x, 25, 1e-9);
    EXPECT_NEAR(layer->presentation()->position().y, 50, 1e-9);
    clock.advance(0.5);
    EXPECT_NEAR(layer->presentation()->position().x, 75, 1e-9);
    clock.advance(0.25);
    EXPECT_DOUBLE_EQ(layer->presentation()->position().x, 100);
    EXPECT_TRUE(layer->animationKeys().isEmpty());   // finished: removed

    // Keyframes are spaced evenly over the duration.
    auto bounce = KeyframeAnimation::create("position.x");
    bounce->setValues({0.0, 10.0, 30.0});
    bounce->setDuration(1.0);
    bounce->setTimingFunction(TimingFunction::linear());
    layer->addAnimation(bounce, "bounce");
    clock.advance(0.25);
    EXPECT_NEAR(layer->presentation()->position().x, 5, 1e-9);
    clock.advance(0.5);
    EXPECT_NEAR(layer->presentation()->position().x, 20, 1e-9);
}

TEST_F(AnimationTest, StopCallbacksTellFinishedFromRemovedAndNeverRunInline)
{
    std::vector<std::pair<QString, bool>> stops;
    auto make = [&](const QString& name, double duration) {
        auto a = BasicAnimation::create("opacity", 0.0, 1.0, duration);
        a->onStop = [&stops, name](bool finished) { stops.emplace_back(name, finished); };
        return a;
    };
    layer->addAnimation(make("first", 1), "fade");
    layer->addAnimation(make("second", 1), "fade");   // replaces the first
    layer->addAnimation(make("third", 1), "other");
    layer->removeAnimationForKey("other");
    EXPECT_TRUE(stops.empty());
    clock.advance(0);
    ASSERT_EQ(stops.size(), 2u);
    EXPECT_EQ(stops[0], std::make_pair(QString("first"), false));
    EXPECT_EQ(stops[1], std::make_pair(QString("third"), false));
    clock.advance(1);
    ASSERT_EQ(stops.size(), 3u);
    EXPECT_EQ(stops[2], std::make_pair(QString("second"), true));
}

// (A delay's backwards fill is seen through the view animations.)
TEST_F(AnimationTest, ForwardFillHoldsTheEndAndRepeatsGoOn)
{
    auto held = BasicAnimation::create("cornerRadius", 0.0, 8.0, 0.5);
    held->setFillMode(Animation::FillMode::Forwards);
    held->setRemovedOnCompletion(false);
    layer->addAnimation(held, "held");
    clock.advance(2);
    EXPECT_DOUBLE_EQ(layer->presentation()->cornerRadius(), 8);
    EXPECT_NE(layer->animationForKey("held"), nullptr);

    auto spin = BasicAnimation::create("transform.rotation", 0.0, 2 * M_PI, 1.0);
    spin->setTimingFunction(TimingFunction::linear());
    spin->setRepeatCount(std::numeric_limits<double>::infinity());
    layer->addAnimation(spin, "spin");
    clock.advance(10.25);
    EXPECT_NEAR(layer->presentation()->transform().rotationAngle(), M_PI / 2, 1e-9);
    EXPECT_NE(layer->animationForKey("spin"), nullptr);
}

// The side panel's preview: a keyframe bounce in a transaction whose completion must find the
// animation gone, so a new preview may start from it.
TEST_F(AnimationTest, TransactionCompletionRunsAfterItsAnimationsHaveEnded)
{
    int completions = 0;
    bool keyGoneAtCompletion = false;
    auto bounce = KeyframeAnimation::create("position.x");
    bounce->setValues({0.0, 40.0, 0.0});
    bounce->setTimingFunction(TimingFunction::linear());
    bounce->setDuration(1.2);
    auto fade = BasicAnimation::create("opacity", 0.0, 1.0, 0.5);

    Transaction::begin();
    Transaction::setAnimationDuration(1.2);
    Transaction::setCompletionBlock([&] {
        ++completions;
        keyGoneAtCompletion = layer->animationForKey("previewBounceAnimation") == nullptr;
    });
    layer->addAnimation(bounce, "previewBounceAnimation");
    layer->addAnimation(fade, "fade");
    Transaction::commit();
    EXPECT_EQ(completions, 0);

    clock.advance(0.6);
    EXPECT_NEAR(layer->presentation()->position().x, 40, 1e-9);
    EXPECT_DOUBLE_EQ(layer->position().x, 0);
    EXPECT_EQ(completions, 0);   // the fade has ended, the bounce has not
    clock.advance(0.61);
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(keyGoneAtCompletion);
    clock.advance(5);
    EXPECT_EQ(completions, 1);
}

TEST_F(AnimationTest, TransactionEdgeCases)
{
    // No animations: later, never inside commit.
    int empty = 0;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++empty; });
    Transaction::commit();
    EXPECT_EQ(empty, 0);
    clock.advance(0);
    EXPECT_EQ(empty, 1);

    // A removed animation ends it too; animations of a nested transaction count for the outer.
    int outer = 0, inner = 0;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++outer; });
    Transaction::begin();
    Transaction::setAnimationDuration(2);
    Transaction::setCompletionBlock([&] { ++inner; });
    layer->addAnimation(BasicAnimation::create("opacity", 0.0, 1.0, 0), "zero");
    Transaction::commit();
    Transaction::commit();
    EXPECT_DOUBLE_EQ(layer->animationForKey("zero")->duration(), 2);   // the transaction's duration
    clock.advance(1);
    EXPECT_EQ(outer + inner, 0);
    layer->removeAnimationForKey("zero");
    clock.advance(0);
    EXPECT_EQ(outer, 1);
    EXPECT_EQ(inner, 1);

    // An animation whose layer dies ends as well.
    int orphan = 0;
    Transaction::begin();
    Transaction::setCompletionBlock([&] { ++orphan; });
    layer->addAnimation(BasicAnimation::create("opacity", 0.0, 1.0, 10), "long");
    Transaction::commit();
    layer.reset();
    clock.advance(0);
    EXPECT_EQ(orphan, 1);
}

} // namespace

// At exactly its end an animation shows its end value when it fills forwards, and the model
// value when it does not; never its start, however many times it repeated.
TEST_F(AnimationTest, AtExactlyTheEndTimeTheEndValueOrTheModelShows)
{
    using Fill = Animation::FillMode;
    auto basic = [](Fill fill, double repeats) {
        auto a = BasicAnimation::create("position.x", 0.0, 100.0, 1.0);
        a->setFillMode(fill);
        a->setRepeatCount(repeats);
        return std::shared_ptr<Animation>(a);
    };
    auto keyframes = KeyframeAnimation::create("position.x");
    keyframes->setValues({0.0, 50.0, 100.0});
    keyframes->setDuration(1.0);
    keyframes->setFillMode(Fill::Forwards);
    // name, animation, seconds to its end, x drawn then
    const std::tuple<const char*, std::shared_ptr<Animation>, double, double> cases[] = {
        {"no fill", basic(Fill::Removed, 0), 1, 7},
        {"forwards", basic(Fill::Forwards, 0), 1, 100},
        {"both", basic(Fill::Both, 0), 1, 100},
        {"twice, forwards", basic(Fill::Forwards, 2), 2, 100},
        {"keyframes, forwards", keyframes, 1, 100},
    };
    for (const auto& [name, animation, end, drawn] : cases) {
        SCOPED_TRACE(name);
        layer = Layer::create();
        layer->setPosition({7, 0});
        animation->setTimingFunction(TimingFunction::linear());
        animation->setRemovedOnCompletion(false);
        layer->addAnimation(animation, "move");
        EXPECT_NEAR(layer->presentationAt(clock.now() + end - 0.25)->position().x, 75, 1e-9);
        clock.advance(end);
        EXPECT_DOUBLE_EQ(layer->presentation()->position().x, drawn);
        EXPECT_DOUBLE_EQ(layer->position().x, 7);
    }
}
