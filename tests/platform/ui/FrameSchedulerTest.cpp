#include "platform/ui/FrameScheduler.h"

#include "platform/ui/BasicAnimation.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ShapeLayer.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "tests/support/UiFixture.h"

#include <QImage>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

using namespace ui;

namespace {

constexpr double kFrame = FrameScheduler::kFrameInterval;

// A view that fills itself with a colour of its own, redrawn on request as a label is.
class Swatch : public View {
public:
    static std::shared_ptr<Swatch> create(const Rect& frame)
    {
        auto swatch = std::shared_ptr<Swatch>(new Swatch(frame));
        swatch->setNeedsDisplay();
        return swatch;
    }
    Color color = Color::blue();

protected:
    using View::View;
    void draw(DrawContext& context) override
    {
        context.setFillColor(color);
        context.fillRect(bounds().insetBy(2, 2));
    }
};

class FrameSchedulerTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 200, 300));
        window->setBackgroundColor(Color::white());
        window->makeKeyAndVisible();
        // A scrolled, shifted panel with a drawing view in it, so that areas are converted
        // through offsets, scrolling and scale.
        panel = View::create(Rect(10, 40, 180, 200));
        panel->setBounds(Rect(0, 15, 180, 200));
        panel->setBackgroundColor(Color::fromWhite(0.9));
        window->addSubview(panel);
        swatch = Swatch::create(Rect(30, 50, 40, 30));
        panel->addSubview(swatch);
        box = View::create(Rect(120, 200, 50, 50));
        box->setBackgroundColor(Color::red());
        panel->addSubview(box);
        hidden = View::create(Rect(20, 250, 60, 30));
        hidden->setBackgroundColor(Color::green());
        hidden->setHidden(true);
        window->addSubview(hidden);

        frames = std::make_unique<FrameScheduler>(window, [this](const QRect& r) { shown.push_back(r); });
        frames->setVisible(true);
        step(kFrame);
        ASSERT_EQ(frames->framesDrawn(), 1) << "the first frame";
    }

    // Frames drawn within one display frame of `change`, when nothing else was pending.
    int framesFor(const std::function<void()>& change)
    {
        const int before = frames->framesDrawn();
        change();
        step(kFrame);
        return frames->framesDrawn() - before;
    }

    int framesWhileIdle(double seconds = 1)
    {
        const int before = frames->framesDrawn();
        step(seconds);
        return frames->framesDrawn() - before;
    }

    // What the window shows is what a whole frame drawn now shows.
    ::testing::AssertionResult showsTheWholeTruth()
    {
        if (frames->image() == window->renderImage())
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the kept frame differs from a fresh one";
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<View> panel;
    std::shared_ptr<Swatch> swatch;
    std::shared_ptr<View> box;
    std::shared_ptr<View> hidden;
    std::unique_ptr<FrameScheduler> frames;
    std::vector<QRect> shown;
};

// A change that forgets to ask for a frame shows nothing until something else is drawn.
TEST_F(FrameSchedulerTest, EachKindOfChangeDrawsOneFrameAndIdleDrawsNone)
{
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"frame", [&] { box->setFrame(Rect(100, 180, 60, 40)); }},
        {"center", [&] { box->setCenter(Point(60, 150)); }},
        {"scrolled bounds", [&] { panel->setBounds(Rect(0, 40, 180, 200)); }},
        {"transform", [&] { box->setTransform(Transform::rotation(0.3)); }},
        {"anchor point", [&] { box->layer()->setAnchorPoint(Point(0, 0)); }},
        {"alpha", [&] { box->setAlpha(0.5); }},
        {"shown", [&] { hidden->setHidden(false); }},
        {"hidden", [&] { hidden->setHidden(true); }},
        {"background colour", [&] { box->setBackgroundColor(Color::green()); }},
        {"corner radius", [&] { box->layer()->setCornerRadius(8); }},
        {"border width", [&] { box->layer()->setBorderWidth(3); }},
        {"border colour", [&] { box->layer()->setBorderColor(Color::blue()); }},
        {"clipping", [&] { panel->setClipsToBounds(true); }},
        {"contents", [&] {
             QImage image(4, 4, QImage::Format_ARGB32_Premultiplied);
             image.fill(Qt::magenta);
             box->layer()->setContents(Image::fromQImage(image, 1));
         }},
        {"contents gravity", [&] { box->layer()->setContentsGravity(Layer::ContentsGravity::Center); }},
        {"shadow", [&] { box->layer()->setShadowOpacity(0.8); }},
        {"shadow offset", [&] { box->layer()->setShadowOffset(Size(5, 5)); }},
        {"shadow radius", [&] { box->layer()->setShadowRadius(6); }},
        {"shadow colour", [&] { box->layer()->setShadowColor(Color::blue()); }},
        {"shadow path", [&] { box->layer()->setShadowPath(Path::rect(Rect(0, 0, 20, 20))); }},
        {"needs display", [&] { swatch->color = Color::green(); swatch->setNeedsDisplay(); }},
        {"view added", [&] {
             auto added = View::create(Rect(5, 5, 20, 20));
             added->setBackgroundColor(Color::black());
             window->addSubview(added);
         }},
        {"view removed", [&] { window->subviews().back()->removeFromSuperview(); }},
        {"order", [&] { panel->bringSubviewToFront(swatch); }},
        {"order back", [&] { panel->sendSubviewToBack(swatch); }},
        {"deep inside", [&] { swatch->setBackgroundColor(Color::fromRGB(0x336699)); }},
        {"mask", [&] {
             auto mask = ShapeLayer::create();
             mask->setPath(Path::ellipse(Rect(0, 0, 60, 40)));
             box->layer()->setMask(mask);
         }},
        {"mask's path", [&] {
             std::static_pointer_cast<ShapeLayer>(box->layer()->mask())->setPath(Path::rect(Rect(0, 0, 30, 30)));
         }},
        {"window background", [&] { window->setBackgroundColor(Color::fromWhite(0.5)); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(framesWhileIdle(), 0);
        EXPECT_EQ(framesFor(c.change), 1);
        EXPECT_EQ(framesWhileIdle(), 0);
        EXPECT_TRUE(showsTheWholeTruth());
    }
}

TEST_F(FrameSchedulerTest, ShapeLayersAskForAFrameForEachOfTheirProperties)
{
    auto shape = ShapeLayer::create();
    shape->setFrame(Rect(20, 20, 80, 80));
    EXPECT_EQ(framesFor([&] { window->layer()->addSublayer(shape); }), 1);
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"path", [&] { shape->setPath(Path::ellipse(Rect(0, 0, 50, 50))); }},
        {"fill", [&] { shape->setFillColor(Color::green()); }},
        {"stroke", [&] { shape->setStrokeColor(Color::red()); }},
        {"line width", [&] { shape->setLineWidth(4); }},
        {"line cap", [&] { shape->setLineCap(ShapeLayer::LineCap::Round); }},
        {"line join", [&] { shape->setLineJoin(ShapeLayer::LineJoin::Bevel); }},
        {"path, by key", [&] { shape->setValueForKeyPath("path", Path::rect(Rect(0, 0, 70, 10))); }},
        {"opacity, by key", [&] { shape->setValueForKeyPath("opacity", 0.5); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(framesFor(c.change), 1);
        EXPECT_EQ(framesWhileIdle(), 0);
        EXPECT_TRUE(showsTheWholeTruth());
    }
}

// Layout passes set every frame again, often to what it was; what cannot be seen changes nothing.
TEST_F(FrameSchedulerTest, WhatLeavesThePictureAsItWasDrawsNothing)
{
    auto faded = View::create(Rect(100, 20, 50, 50));
    faded->setBackgroundColor(Color::red());
    faded->setAlpha(0);
    window->addSubview(faded);
    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"same frame", [&] { box->setFrame(box->frame()); }},
        {"same colour", [&] { box->setBackgroundColor(Color::red()); }},
        {"same alpha", [&] { box->setAlpha(1); }},
        {"layout pass", [&] { panel->setNeedsLayout(); window->setNeedsLayout(); }},
        {"inside a hidden view", [&] { hidden->setBackgroundColor(Color::blue()); }},
        {"a view added to a hidden one", [&] { hidden->addSubview(View::create(Rect(0, 0, 5, 5))); }},
        {"inside a faded-out view", [&] {
             faded->setBackgroundColor(Color::blue());
             faded->addSubview(View::create(Rect(0, 0, 5, 5)));
         }},
        {"a view outside the window", [&] { View::create(Rect(0, 0, 5, 5))->setBackgroundColor(Color::blue()); }},
        {"a drawing-less layer asked to draw", [&] { box->layer()->setNeedsDisplay(); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        step(1);
        const int before = frames->framesDrawn();
        c.change();
        step(1);
        EXPECT_EQ(frames->framesDrawn(), before);
    }
    EXPECT_EQ(framesFor([&] { faded->setAlpha(1); }), 1) << "shown again with what changed meanwhile";
    EXPECT_EQ(framesFor([&] { hidden->setHidden(false); }), 1);
    EXPECT_TRUE(showsTheWholeTruth());
}

// A redrawn view or a new colour is drawn again where it lies, and nowhere else.
TEST_F(FrameSchedulerTest, AChangeWithinAViewRedrawsOnlyItsArea)
{
    shown.clear();
    swatch->color = Color::green();
    swatch->setNeedsDisplay();
    step(kFrame);
    ASSERT_EQ(shown.size(), 1u);
    // The swatch lies at (30, 50) in the panel, whose bounds are scrolled by 15 and which
    // sits at (10, 40): (40, 75) in the window, 40 × 30.
    const QRect swatchArea(40, 75, 40, 30);
    EXPECT_TRUE(shown[0].contains(swatchArea)) << shown[0].x() << "," << shown[0].y() << " " << shown[0].width() << "×" << shown[0].height();
    EXPECT_LE(shown[0].width(), swatchArea.width() + 4);
    EXPECT_LE(shown[0].height(), swatchArea.height() + 4);
    EXPECT_TRUE(showsTheWholeTruth());

    shown.clear();
    box->setBackgroundColor(Color::black());
    swatch->color = Color::red();
    swatch->setNeedsDisplay();
    step(kFrame);
    ASSERT_EQ(shown.size(), 1u) << "two changes, one frame";
    EXPECT_TRUE(shown[0].contains(swatchArea));
    EXPECT_TRUE(shown[0].contains(QRect(130, 225, 50, 50))) << "the box, at (120, 200) in the panel";
    EXPECT_TRUE(showsTheWholeTruth());

    // Rotated, the swatch reaches beyond its frame's corners: its area is its bounding box.
    swatch->setTransform(Transform::rotation(0.4));
    step(kFrame);
    shown.clear();
    swatch->color = Color::black();
    swatch->setNeedsDisplay();
    step(kFrame);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].contains(swatch->convertRectTo(swatch->bounds(), nullptr).integral().toQRectF().toRect()));
    EXPECT_TRUE(showsTheWholeTruth());

    // On fractional points its edge pixels are shared with what lies around it.
    swatch->setTransform(Transform());
    swatch->setFrame(Rect(30.3, 50.7, 40.45, 30.2));
    step(kFrame);
    swatch->color = Color::green();
    swatch->setNeedsDisplay();
    step(kFrame);
    EXPECT_TRUE(showsTheWholeTruth());

    // Over nothing opaque, a see-through colour shows what lies below it, not the old colour.
    window->setBackgroundColor(Color::clear());
    panel->setBackgroundColor(Color::clear());
    step(kFrame);
    swatch->color = Color(0, 0, 1, 0.3);
    swatch->setNeedsDisplay();
    step(kFrame);
    EXPECT_TRUE(showsTheWholeTruth());

    // A shadow cast by what the view draws falls outside it.
    swatch->setTransform(Transform());
    swatch->layer()->setShadowOpacity(1);
    swatch->layer()->setShadowRadius(8);
    step(kFrame);
    shown.clear();
    swatch->color = Color::blue();
    swatch->setNeedsDisplay();
    step(kFrame);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], QRect(0, 0, 200, 300));
    EXPECT_TRUE(showsTheWholeTruth());
}

TEST_F(FrameSchedulerTest, AnAnimationDrawsEveryDisplayFrameUntilItEnds)
{
    View::animate(0.5, [&] { box->setCenter(Point(40, 40)); });
    std::vector<int> perFrame;
    for (int i = 0; i < 45; ++i)
        perFrame.push_back(framesFor([] {}));
    // 0.5 s at 60 frames a second: its start, 30 display frames, and the end as it goes.
    int total = 0;
    for (int i = 0; i < 45; ++i) {
        total += perFrame[i];
        if (i < 30) {
            EXPECT_GE(perFrame[i], 1) << "display frame " << i;
        } else if (i >= 32) {
            EXPECT_EQ(perFrame[i], 0) << "display frame " << i;
        }
    }
    EXPECT_GE(total, 31);
    EXPECT_LE(total, 33);
    EXPECT_EQ(framesWhileIdle(), 0);
    EXPECT_TRUE(showsTheWholeTruth());
}

// A spinner runs until it is taken away; one that cannot be seen costs nothing.
TEST_F(FrameSchedulerTest, EndlessAnimationsRunWhileTheyCanBeSeen)
{
    auto spin = BasicAnimation::create("transform.rotation", 0.0, 2 * M_PI, 1);
    spin->setRepeatCount(std::numeric_limits<double>::infinity());
    box->layer()->addAnimation(spin, "spin");
    step(kFrame);
    EXPECT_EQ(framesWhileIdle(1), 60);
    box->setHidden(true);
    step(kFrame);
    EXPECT_EQ(framesWhileIdle(1), 0);
    box->setHidden(false);
    step(kFrame);
    EXPECT_EQ(framesWhileIdle(1), 60);
    panel->setAlpha(0);   // a wait overlay faded out with its spinner still turning
    step(kFrame);
    EXPECT_EQ(framesWhileIdle(1), 0);
    panel->setAlpha(1);
    step(kFrame);
    EXPECT_EQ(framesWhileIdle(1), 60);
    box->layer()->removeAnimationForKey("spin");
    step(kFrame);
    EXPECT_EQ(framesWhileIdle(1), 0);
    EXPECT_TRUE(showsTheWholeTruth());
}

// An animation that begins later shows its start at once and then nothing new until it begins.
TEST_F(FrameSchedulerTest, ADelayedAnimationWakesTheFramesWhenItBegins)
{
    View::animate(0.25, 1.0, AnimationOption::None, [&] { box->setAlpha(0.2); });
    EXPECT_EQ(framesFor([] {}), 1);
    EXPECT_EQ(framesWhileIdle(0.95), 0);
    EXPECT_GE(framesWhileIdle(0.25), 14);
    step(1);
    EXPECT_EQ(framesWhileIdle(), 0);
    EXPECT_TRUE(showsTheWholeTruth());
}

// The desktop window draws only while it can be seen, and catches up when shown again.
TEST_F(FrameSchedulerTest, AHiddenHostDrawsNothingUntilShown)
{
    frames.reset();
    WindowHost host(window);
    step(1);
    EXPECT_EQ(host.framesDrawn(), 0);
    host.show();
    step(kFrame);
    EXPECT_EQ(host.framesDrawn(), 1);
    box->setBackgroundColor(Color::blue());
    step(kFrame);
    EXPECT_EQ(host.framesDrawn(), 2);
    host.hide();
    box->setBackgroundColor(Color::green());
    step(1);
    EXPECT_EQ(host.framesDrawn(), 2);
    host.show();
    step(kFrame);
    EXPECT_EQ(host.framesDrawn(), 3);
    step(1);
    EXPECT_EQ(host.framesDrawn(), 3);
}

} // namespace
