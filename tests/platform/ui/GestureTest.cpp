#include "platform/ui/PanGestureRecognizer.h"

#include "platform/ui/Event.h"
#include "platform/ui/GestureRecognizerDelegate.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "platform/ui/Touch.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"
#include "support/ProbeView.h"

using namespace ui;
using uitest::ProbeView;

namespace {

using State = GestureRecognizer::State;

QString name(State s)
{
    return QStringList{"possible", "began", "changed", "ended", "cancelled", "failed"}.at(int(s));
}

class Answers : public GestureRecognizerDelegate {
public:
    std::optional<bool> begin, receive, simultaneous;
    int asked = 0;
    std::optional<bool> gestureRecognizerShouldBegin(GestureRecognizer&) override { ++asked; return begin; }
    std::optional<bool> shouldReceiveTouch(GestureRecognizer&, const Touch&) override { return receive; }
    std::optional<bool> shouldRecognizeSimultaneouslyWithGestureRecognizer(GestureRecognizer&,
                                                                           GestureRecognizer&) override
    {
        return simultaneous;
    }
};

class GestureTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        view = ProbeView::create(Rect(0, 0, 320, 480));
        window->addSubview(view);
        pan = PanGestureRecognizer::create([this](GestureRecognizer& r) { states << name(r.state()); });
        view->addGestureRecognizer(pan);
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<ProbeView> view;
    std::shared_ptr<PanGestureRecognizer> pan;
    QStringList states;
};

} // namespace

TEST_F(GestureTest, APlayedDragRunsThePanThroughItsStates)
{
    Point translation, velocity, location;
    pan->onAction = [&](GestureRecognizer& r) {
        states << name(r.state());
        translation = pan->translationInView(view.get());
        velocity = pan->velocityInView(view.get());
        location = r.locationInView(view.get());
    };
    TouchInjector::drag(*clock, *window, Point(10, 100), Point(210, 100), 0.5, 10);

    // The first move (20 points) passes the threshold; nine more moves change it.
    EXPECT_EQ(states, QStringList{"began"} + QStringList(9, "changed") + QStringList{"ended"});
    EXPECT_EQ(translation, Point(200, 0));
    EXPECT_NEAR(velocity.x, 400, 1e-6);   // 200 points in 0.5 s
    EXPECT_EQ(location, Point(210, 100));
    EXPECT_EQ(pan->state(), State::Possible);   // reset once the finger is up
    EXPECT_EQ(view->touches, (QStringList{"began", "cancelled"}));
}

// A finger that stops before it lifts throws nothing: the speed is that of the last tenth of a
// second.
TEST_F(GestureTest, ReleaseVelocityIsTheLastTenthOfASecondsMotion)
{
    Point velocity;
    pan->onAction = [&](GestureRecognizer& r) {
        if (r.state() == State::Ended)
            velocity = pan->velocityInView(nullptr);
    };
    TouchInjector::touchDown(*window, Point(10, 100));
    step(0.05);
    TouchInjector::touchMove(*window, Point(110, 100));   // 2000 points a second
    step(0.1);
    TouchInjector::touchMove(*window, Point(110, 100));   // held
    step(0.05);
    TouchInjector::touchMove(*window, Point(115, 100));   // then slow
    TouchInjector::touchUp(*window, Point(115, 100));
    EXPECT_NEAR(velocity.x, 100, 1e-6);
    EXPECT_EQ(velocity.y, 0);
}

TEST_F(GestureTest, TranslationFollowsTheViewsScaleAndAPanBeginsAtTenPoints)
{
    TouchInjector::touchDown(*window, Point(100, 100));
    TouchInjector::touchMove(*window, Point(140, 130));
    EXPECT_EQ(pan->state(), State::Began);
    EXPECT_EQ(pan->translationInView(nullptr), Point(40, 30));

    auto scaled = View::create(Rect(0, 0, 100, 100));
    scaled->setTransform(Transform::scale(2, 2));
    window->addSubview(scaled);
    EXPECT_EQ(pan->translationInView(scaled.get()), Point(20, 15));
    TouchInjector::touchMove(*window, Point(150, 130));
    TouchInjector::touchCancel(*window, Point(150, 130));
    EXPECT_EQ(states, (QStringList{"began", "changed", "cancelled"}));

    // A pan begins at ten points; the view keeps shorter touches.
    scaled->removeFromSuperview();
    for (const double dx : {9.9, 10.0}) {
        states.clear();
        view->touches.clear();
        TouchInjector::touchDown(*window, Point(100, 100));
        TouchInjector::touchMove(*window, Point(100 + dx, 100));
        TouchInjector::touchUp(*window, Point(100 + dx, 100));
        const bool pans = dx >= 10;
        EXPECT_EQ(states, pans ? QStringList({"began", "ended"}) : QStringList()) << dx;
        EXPECT_EQ(view->touches, pans ? QStringList({"began", "cancelled"}) : QStringList({"began", "moved", "ended"})) << dx;
    }
}

TEST_F(GestureTest, DelegateAnswersAndNotImplementedAreDistinct)
{
    // name, should begin, should receive, pan states, view touches, times asked to begin
    const std::vector<std::tuple<const char*, std::optional<bool>, std::optional<bool>, QStringList, QStringList, int>> cases = {
        {"not implemented", std::nullopt, std::nullopt, {"began", "changed", "ended"}, {"began", "cancelled"}, 1},
        {"should begin no", false, std::nullopt, {}, {"began", "moved", "moved", "ended"}, 1},
        {"refuses the touch", std::nullopt, false, {}, {"began", "moved", "moved", "ended"}, 0},
    };
    for (const auto& [name, begin, receive, panStates, viewTouches, beginAsked] : cases) {
        SCOPED_TRACE(name);
        states.clear();
        view->touches.clear();
        auto answers = std::make_shared<Answers>();
        answers->begin = begin;
        answers->receive = receive;
        pan->setDelegate(answers);
        TouchInjector::touchDown(*window, Point(10, 10));
        TouchInjector::touchMove(*window, Point(40, 10));
        TouchInjector::touchMove(*window, Point(60, 10));
        TouchInjector::touchUp(*window, Point(60, 10));
        EXPECT_EQ(states, panStates);
        EXPECT_EQ(view->touches, viewTouches);
        EXPECT_EQ(answers->asked, beginAsked);
    }
}

TEST_F(GestureTest, TapAndPanExcludeEachOtherUnlessAllowedTogether)
{
    QStringList taps;
    auto tap = TapGestureRecognizer::create([&](GestureRecognizer& r) { taps << name(r.state()); });
    auto child = ProbeView::create(Rect(0, 0, 100, 100));
    view->addSubview(child);
    child->addGestureRecognizer(tap);

    EXPECT_TRUE(TouchInjector::tap(*child));
    EXPECT_EQ(taps, QStringList{"ended"});
    EXPECT_TRUE(states.isEmpty());
    EXPECT_EQ(child->touches, (QStringList{"began", "cancelled"}));

    taps.clear();
    TouchInjector::drag(*clock, *window, Point(10, 10), Point(90, 10), 0.2, 4);   // the pan wins
    EXPECT_TRUE(taps.isEmpty());
    EXPECT_EQ(states.first(), "began");

    // A finger lifted up to ten points from where it went down still taps; further, it does not.
    for (const double dx : {10.0, 10.5}) {
        taps.clear();
        TouchInjector::touchDown(*window, Point(50, 50));
        TouchInjector::touchUp(*window, Point(50 + dx, 50));
        EXPECT_EQ(taps, dx <= 10 ? QStringList({"ended"}) : QStringList()) << dx;
    }
}

TEST_F(GestureTest, SimultaneousRecognitionNeedsADelegateThatSaysYes)
{
    // A move of exactly 10 points begins the pan and still counts as a tap when the finger
    // lifts, so both recognisers want the same touch.
    for (std::optional<bool> answer : {std::optional<bool>(), std::optional<bool>(false), std::optional<bool>(true)}) {
        SCOPED_TRACE(answer ? (*answer ? "yes" : "no") : "not implemented");
        states.clear();
        QStringList taps;
        auto tap = TapGestureRecognizer::create([&](GestureRecognizer& r) { taps << name(r.state()); });
        auto answers = std::make_shared<Answers>();
        answers->simultaneous = answer;
        tap->setDelegate(answers);
        view->addGestureRecognizer(tap);
        TouchInjector::touchDown(*window, Point(50, 50));
        TouchInjector::touchMove(*window, Point(60, 50));
        TouchInjector::touchUp(*window, Point(60, 50));
        EXPECT_EQ(states, (QStringList{"began", "ended"}));
        EXPECT_EQ(taps, answer.value_or(false) ? QStringList{"ended"} : QStringList{});
        view->removeGestureRecognizer(tap);
    }
}

TEST_F(GestureTest, ARemovedRecogniserHearsNothing)
{
    view->removeGestureRecognizer(pan);
    TouchInjector::drag(*clock, *window, Point(10, 10), Point(100, 10), 0.2, 3);
    EXPECT_TRUE(states.isEmpty());
    EXPECT_EQ(view->touches.last(), "ended");
}

// A delegate's yes to shouldBeRequiredToFailByGestureRecognizer makes the other recogniser of
// the touch wait: a pan behind a tap that must fail first begins only once the tap has failed
// (though the pan hears each touch first), and a tap whose pan must fail first fires once the
// finger has lifted without a pan.
TEST_F(GestureTest, AFailureRequirementHoldsTheOtherRecogniserBack)
{
    class RequiredToFail : public GestureRecognizerDelegate {
    public:
        std::optional<bool> shouldBeRequiredToFailByGestureRecognizer(GestureRecognizer&, GestureRecognizer&) override
        {
            return true;
        }
    };
    QStringList taps;
    auto tap = TapGestureRecognizer::create([&](GestureRecognizer& r) { taps << name(r.state()); });
    window->addGestureRecognizer(tap);
    auto requirement = std::make_shared<RequiredToFail>();
    tap->setDelegate(requirement);
    Point translation;
    pan->onAction = [&](GestureRecognizer& r) {
        states << name(r.state());
        translation = pan->translationInView(nullptr);
    };

    // x of each move after the finger went down at (50, 50); tap states; pan states
    const std::vector<std::tuple<std::vector<double>, QStringList, QStringList>> cases = {
        {{60}, {"ended"}, {}},                                   // ten points: still a tap, no pan
        {{60, 60.5, 61}, {}, {"began", "changed", "ended"}},     // the tap fails: the waiting pan begins
        {{80}, {}, {"began", "ended"}},                          // both on the same move
    };
    for (const auto& [path, tapStates, panStates] : cases) {
        SCOPED_TRACE(path.back());
        taps.clear();
        states.clear();
        TouchInjector::touchDown(*window, Point(50, 50));
        for (double x : path)
            TouchInjector::touchMove(*window, Point(x, 50));
        TouchInjector::touchUp(*window, Point(path.back(), 50));
        EXPECT_EQ(taps, tapStates);
        EXPECT_EQ(states, panStates);
        if (!panStates.isEmpty()) {
            EXPECT_EQ(translation, Point(path.back() - 50, 0)) << "measured from where the finger went down";
        }
    }

    // The other way round, the tap hearing each touch first: it waits for the pan, which fails
    // as the finger lifts.
    window->removeGestureRecognizer(tap);
    auto child = ProbeView::create(Rect(0, 0, 100, 100));
    view->addSubview(child);
    child->addGestureRecognizer(tap);
    tap->setDelegate(std::weak_ptr<GestureRecognizerDelegate>());
    pan->setDelegate(requirement);
    taps.clear();
    states.clear();
    EXPECT_TRUE(TouchInjector::tap(*child));
    EXPECT_EQ(taps, QStringList{"ended"});
    TouchInjector::drag(*clock, *window, Point(10, 10), Point(90, 10), 0.2, 4);
    EXPECT_EQ(taps, QStringList{"ended"}) << "a drag is no tap";
    EXPECT_EQ(states.first(), "began");
}
