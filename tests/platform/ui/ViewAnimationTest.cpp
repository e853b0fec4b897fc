#include "platform/ui/View.h"

#include "platform/ui/BasicAnimation.h"
#include "platform/ui/Layer.h"
#include "tests/support/UiFixture.h"
#include "support/ProbeView.h"

using namespace ui;

class ViewAnimationTest : public UiFixture {};

TEST_F(ViewAnimationTest, EachChangedPropertyAddsAKeyedAnimationWithTheBlockTiming)
{
    const std::pair<std::function<void(View&)>, QStringList> cases[] = {
        {[](View& v) { v.setFrame(Rect(5, 5, 20, 20)); }, {"position", "bounds"}},
        {[](View& v) { v.setFrame(Rect(5, 5, 10, 10)); }, {"position"}},
        {[](View& v) { v.setBounds(Rect(0, 0, 30, 30)); }, {"bounds"}},
        {[](View& v) { v.setAlpha(0.5); }, {"opacity"}},
        {[](View& v) { v.setTransform(Transform::rotation(1)); }, {"transform"}},
        {[](View& v) { v.setBackgroundColor(Color::red()); }, {"backgroundColor"}},
        {[](View& v) { v.setAlpha(1.0); }, {}},   // unchanged
    };
    for (const auto& [change, keys] : cases) {
        auto v = View::create(Rect(0, 0, 10, 10));
        View::animate(0.4, 0, AnimationOption::CurveEaseOut, [&] { change(*v); });
        EXPECT_EQ(v->layer()->animationKeys(), keys);
        for (const auto& key : keys) {
            auto anim = std::dynamic_pointer_cast<const BasicAnimation>(v->layer()->animationForKey(key));
            ASSERT_TRUE(anim);
            EXPECT_EQ(anim->duration(), 0.4);
            EXPECT_EQ(anim->timingFunction(), TimingFunction::easeOut());
            EXPECT_EQ(anim->toValue().index(), anim->fromValue().index());
        }
    }

    // Outside a block, or in a block of no duration, nothing is animated.
    auto v = View::create(Rect(0, 0, 10, 10));
    v->setFrame(Rect(50, 50, 10, 10));
    View::animate(0, [&] { v->setAlpha(0.2); });
    EXPECT_TRUE(v->layer()->animationKeys().isEmpty());
}

TEST_F(ViewAnimationTest, AReplacedAnimationCompletesUnfinishedAndTheNewOneStartsWhereAsked)
{
    auto v = View::create(Rect(0, 0, 10, 10));
    std::vector<bool> first, second;   // each completion's "finished"
    View::animate(1.0, 0, AnimationOption::CurveLinear, [&] { v->setCenter(Point(105, 5)); }, [&](bool f) { first.push_back(f); });
    EXPECT_EQ(v->center(), Point(105, 5));
    step(0.5);
    const double midway = v->layer()->presentation()->position().x;
    EXPECT_NEAR(midway, 55, 1e-9);

    View::animate(1.0, 0, AnimationOption::CurveLinear | AnimationOption::BeginFromCurrentState,
                  [&] { v->setCenter(Point(5, 5)); }, [&](bool f) { second.push_back(f); });
    EXPECT_NEAR(v->layer()->presentation()->position().x, midway, 1e-9);   // no jump
    step();
    EXPECT_EQ(first, std::vector<bool>{false});
    EXPECT_TRUE(second.empty());
    step(1.0);
    EXPECT_EQ(second, std::vector<bool>{true});
}

TEST_F(ViewAnimationTest, DelayHoldsTheOldValueUntilTheMoveStarts)
{
    auto v = View::create(Rect(0, 0, 10, 10));
    int done = 0;
    View::animate(0.5, 0.5, AnimationOption::CurveLinear, [&] { v->setAlpha(0); }, [&](bool) { ++done; });
    step(0.25);
    EXPECT_EQ(v->layer()->presentation()->opacity(), 1.0);
    step(0.5);
    EXPECT_NEAR(v->layer()->presentation()->opacity(), 0.5, 1e-9);
    EXPECT_EQ(done, 0);
    step(0.25);
    EXPECT_EQ(done, 1);
}

TEST_F(ViewAnimationTest, BeginCommitAnimationsReportTheirIdToTheDidStopCallback)
{
    auto v = View::create(Rect(0, 0, 10, 10));
    QStringList stops;
    const auto begin = [&](const QString& id) {
        View::beginAnimations(id);
        View::setAnimationDuration(0.3);
        View::setAnimationCurve(AnimationCurve::Linear);
        View::setAnimationDidStop([&](const QString& stopped, bool finished) { stops << stopped + (finished ? ":finished" : ":stopped"); });
    };
    begin("fade");
    v->setAlpha(0.02);
    EXPECT_TRUE(View::isAnimating());
    View::commitAnimations();
    EXPECT_FALSE(View::isAnimating());
    step(0.15);
    EXPECT_NEAR(v->layer()->presentation()->opacity(), 0.51, 1e-9);
    EXPECT_TRUE(stops.isEmpty());
    step(0.15);
    EXPECT_EQ(stops, QStringList{"fade:finished"});

    begin("move");   // interrupted: it reports that it did not finish
    v->setCenter(Point(100, 100));
    View::commitAnimations();
    v->layer()->removeAnimationForKey("position");
    step();
    EXPECT_EQ(stops, (QStringList{"fade:finished", "move:stopped"}));
}

TEST_F(ViewAnimationTest, LayoutSubviewsOptionAnimatesTheLayoutWithTheBlock)
{
    auto v = uitest::ProbeView::create(Rect(0, 0, 100, 100));
    auto child = View::create();
    v->addSubview(child);
    v->onLayout = [v = v.get(), child] { child->setFrame(Rect(0, 0, v->bounds().width() / 2, 10)); };
    v->layoutIfNeeded();
    EXPECT_EQ(child->frame().width(), 50);

    View::animate(1.0, 0, AnimationOption::LayoutSubviews | AnimationOption::CurveLinear,
                  [&] { v->setFrame(Rect(0, 0, 200, 100)); });
    EXPECT_EQ(child->frame().width(), 100);   // laid out inside the block
    step(0.5);
    EXPECT_NEAR(child->layer()->presentation()->bounds().width(), 75, 1e-9);

    View::animate(1.0, 0, AnimationOption::CurveLinear, [&] { v->setFrame(Rect(0, 0, 100, 100)); });
    EXPECT_EQ(child->frame().width(), 100);   // without the option, layout waits
}

