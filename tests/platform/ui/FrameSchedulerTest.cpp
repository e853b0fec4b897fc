#include "platform/ui/FrameScheduler.h"

#include "platform/ui/BasicAnimation.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/Image.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/ShapeLayer.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
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

struct Change {
    const char* what;
    std::function<void()> change;
};

// A view that fills itself with a colour of its own, redrawn on request as a label is.
class Swatch : public View {
public:
    static std::shared_ptr<Swatch> create(const Rect& frame)
    {
        auto swatch = std::shared_ptr<Swatch>(new Swatch(frame));
        swatch->setNeedsDisplay();
        return swatch;
    }
    void paint(const Color& c)
    {
        color = c;
        setNeedsDisplay();
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

// A window with a scrolled, shifted panel holding a drawing view and a box, and a hidden view.
class FrameSchedulerTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 200, 300));
        window->setBackgroundColor(Color::white());
        window->makeKeyAndVisible();
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
        hidden->setHidden(true);
        window->addSubview(hidden);
        shape->setFrame(Rect(20, 20, 80, 80));
        window->layer()->addSublayer(shape);

        frames = std::make_unique<FrameScheduler>(window, [this](const QRect& r) { shown.push_back(r); });
        frames->setVisible(true);
        step(kFrame);
        ASSERT_EQ(frames->framesDrawn(), 1) << "the first frame";
    }

    // Frames drawn within one display frame of `change`.
    int framesFor(const std::function<void()>& change)
    {
        const int before = frames->framesDrawn();
        change();
        step(kFrame);
        return frames->framesDrawn() - before;
    }
    int framesWhileIdle(double seconds = 1) { return framesFor([&] { step(seconds - kFrame); }); }

    // The one area a frame drew after `change`.
    QRect redrawnFor(const std::function<void()>& change)
    {
        shown.clear();
        framesFor(change);
        return shown.size() == 1 ? shown[0] : QRect();
    }

    // What the window shows is what a whole frame drawn now shows.
    bool showsTheWholeTruth() { return frames->image() == window->renderImage(); }

    std::shared_ptr<Window> window;
    std::shared_ptr<View> panel, box, hidden;
    std::shared_ptr<Swatch> swatch;
    std::shared_ptr<ShapeLayer> shape = ShapeLayer::create();
    std::unique_ptr<FrameScheduler> frames;
    std::vector<QRect> shown;
};

// A change that forgets to ask for a frame shows nothing until something else is drawn.
TEST_F(FrameSchedulerTest, EachKindOfChangeDrawsOneFrameAndIdleDrawsNone)
{
    QImage magenta(4, 4, QImage::Format_ARGB32_Premultiplied);
    magenta.fill(Qt::magenta);
    const Change changes[] = {
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
        {"contents", [&] { box->layer()->setContents(Image::fromQImage(magenta)); }},
        {"contents gravity", [&] { box->layer()->setContentsGravity(Layer::ContentsGravity::Center); }},
        {"contents beyond the bounds", [&] { box->layer()->setContents(Image::fromQImage(magenta.scaled(90, 90))); }},
        {"shadow", [&] { box->layer()->setShadowOpacity(0.8); }},
        {"shadow offset", [&] { box->layer()->setShadowOffset(Size(5, 5)); }},
        {"shadow radius", [&] { box->layer()->setShadowRadius(6); }},
        {"shadow colour", [&] { box->layer()->setShadowColor(Color::blue()); }},
        {"shadow path", [&] { box->layer()->setShadowPath(Path::rect(Rect(0, 0, 20, 20))); }},
        {"needs display", [&] { swatch->paint(Color::green()); }},
        {"view added", [&] { window->addSubview(View::create(Rect(5, 5, 20, 20))); }},
        {"view removed", [&] { window->subviews().back()->removeFromSuperview(); }},
        {"order", [&] { panel->bringSubviewToFront(swatch); }},
        {"order back", [&] { panel->sendSubviewToBack(swatch); }},
        {"deep inside", [&] { swatch->setBackgroundColor(Color::fromRGB(0x336699)); }},
        {"mask", [&] { box->layer()->setMask(ShapeLayer::create()); }},
        {"mask's path", [&] { std::static_pointer_cast<ShapeLayer>(box->layer()->mask())->setPath(Path::ellipse(Rect(0, 0, 30, 30))); }},
        {"window background", [&] { window->setBackgroundColor(Color::fromWhite(0.5)); }},
        {"shape's path", [&] { shape->setPath(Path::ellipse(Rect(0, 0, 50, 50))); }},
        {"shape's fill", [&] { shape->setFillColor(Color::green()); }},
        {"shape's stroke", [&] { shape->setStrokeColor(Color::red()); }},
        {"shape's line width", [&] { shape->setLineWidth(4); }},
        {"shape's line cap", [&] { shape->setLineCap(ShapeLayer::LineCap::Round); }},
        {"shape's line join", [&] { shape->setLineJoin(ShapeLayer::LineJoin::Bevel); }},
        {"path by key", [&] { shape->setValueForKeyPath("path", Path::rect(Rect(0, 0, 70, 10))); }},
        {"opacity by key", [&] { shape->setValueForKeyPath("opacity", 0.5); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(framesWhileIdle(), 0);
        EXPECT_EQ(framesFor(c.change), 1);
        EXPECT_EQ(framesWhileIdle(), 0);
        EXPECT_TRUE(showsTheWholeTruth());
    }
}

// Layout passes set every frame again, often to what it was; what cannot be seen changes nothing.
TEST_F(FrameSchedulerTest, WhatLeavesThePictureAsItWasDrawsNothing)
{
    auto faded = View::create(Rect(100, 20, 50, 50));
    faded->setAlpha(0);
    window->addSubview(faded);
    step(kFrame);
    const Change changes[] = {
        {"same frame", [&] { box->setFrame(box->frame()); }},
        {"same colour", [&] { box->setBackgroundColor(Color::red()); }},
        {"layout pass", [&] { panel->setNeedsLayout(); window->setNeedsLayout(); }},
        {"inside a hidden view", [&] { hidden->setBackgroundColor(Color::blue()); }},
        {"added to a hidden view", [&] { hidden->addSubview(View::create(Rect(0, 0, 5, 5))); }},
        {"inside a faded-out view", [&] { faded->setBackgroundColor(Color::blue()); }},
        {"outside the window", [&] { View::create(Rect(0, 0, 5, 5))->setBackgroundColor(Color::blue()); }},
        {"a layer that does not draw asked to", [&] { box->layer()->setNeedsDisplay(); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(framesFor(c.change) + framesWhileIdle(), 0);
    }
    EXPECT_EQ(framesFor([&] { faded->setAlpha(1); }), 1) << "shown again with what changed meanwhile";
    EXPECT_EQ(framesFor([&] { hidden->setHidden(false); }), 1);
    EXPECT_TRUE(showsTheWholeTruth());
}

// A redrawn view or a new colour is drawn again where it lies, and nowhere else.
TEST_F(FrameSchedulerTest, AChangeWithinAViewRedrawsOnlyItsArea)
{
    // The swatch lies at (30, 50) in the panel, which sits at (10, 40) scrolled by 15.
    const QRect swatchArea(40, 75, 40, 30);
    const QRect alone = redrawnFor([&] { swatch->paint(Color::green()); });
    EXPECT_TRUE(alone.contains(swatchArea));
    EXPECT_LE(alone.width() * alone.height(), 44 * 34);
    EXPECT_TRUE(showsTheWholeTruth());

    const QRect both = redrawnFor([&] { swatch->paint(Color::red()); box->setBackgroundColor(Color::black()); });
    EXPECT_TRUE(both.contains(swatchArea) && both.contains(QRect(130, 225, 50, 50)));
    EXPECT_TRUE(showsTheWholeTruth());

    // Rotated, it reaches beyond its frame's corners; on fractional points its edge pixels are
    // shared with what lies around it.
    swatch->setTransform(Transform::rotation(0.4));
    EXPECT_TRUE(redrawnFor([&] { swatch->paint(Color::black()); })
                    .contains(swatch->convertRectTo(swatch->bounds(), nullptr).integral().toQRectF().toRect()));
    EXPECT_TRUE(showsTheWholeTruth());
    swatch->setTransform(Transform());
    swatch->setFrame(Rect(30.3, 50.7, 40.45, 30.2));
    framesFor([&] { swatch->paint(Color::green()); });
    EXPECT_TRUE(showsTheWholeTruth());

    // Over nothing opaque, a see-through colour shows what lies below it, not the old colour.
    framesFor([&] { window->setBackgroundColor(Color::clear()); panel->setBackgroundColor(Color::clear()); });
    framesFor([&] { swatch->paint(Color(0, 0, 1, 0.3)); });
    EXPECT_TRUE(showsTheWholeTruth());

    // A shadow cast by what the view draws falls outside it.
    framesFor([&] { swatch->layer()->setShadowOpacity(1); });
    EXPECT_EQ(redrawnFor([&] { swatch->paint(Color::blue()); }), QRect(0, 0, 200, 300));
    EXPECT_TRUE(showsTheWholeTruth());
}

TEST_F(FrameSchedulerTest, AnAnimationDrawsEveryDisplayFrameUntilItEnds)
{
    View::animate(0.5, [&] { box->setCenter(Point(40, 40)); });
    // 0.5 s at 60 frames a second: its start, 30 display frames, and the end as it goes.
    int total = 0;
    for (int i = 0; i < 45; ++i) {
        const int drawn = framesFor([] {});
        total += drawn;
        EXPECT_TRUE(i < 30 ? drawn >= 1 : i < 32 || drawn == 0) << "display frame " << i << ": " << drawn;
    }
    EXPECT_GE(total, 31);
    EXPECT_LE(total, 33);
    EXPECT_TRUE(showsTheWholeTruth());

    // One that begins later shows its start at once and then nothing new until it begins.
    View::animate(0.25, 1.0, AnimationOption::None, [&] { box->setAlpha(0.2); });
    EXPECT_EQ(framesFor([] {}), 1);
    EXPECT_EQ(framesWhileIdle(0.95), 0);
    EXPECT_GE(framesWhileIdle(0.3), 15);
    EXPECT_EQ(framesWhileIdle(), 0);
    EXPECT_TRUE(showsTheWholeTruth());
}

// Every change an edited field makes shows in the next display frame, whole: a caret that
// moved, a selection, a text scrolled to follow the caret. Its caret blinks twice a second and
// no more; editing over, nothing is drawn.
TEST_F(FrameSchedulerTest, AnEditedFieldDrawsEachChangeAndItsBlinkOnly)
{
    auto field = TextField::create(Rect(10, 250, 120, 30));
    field->setText("a text far wider than its field");
    window->addSubview(field);
    step(kFrame);
    ASSERT_TRUE(field->becomeFirstResponder());
    const Change changes[] = {
        {"typed", [&] { field->insertText("!"); }},
        {"caret moved", [&] { field->performEditingCommand(EditingCommand::MoveLeft); }},
        {"selected", [&] { field->performEditingCommand(EditingCommand::SelectLeft); }},
        {"scrolled to the start", [&] { field->performEditingCommand(EditingCommand::MoveToLineStart); }},
        {"composing", [&] { field->setMarkedText("ni"); }},
        {"composed", [&] { field->insertText("x"); }},
        {"deleted", [&] { field->deleteBackward(); }},
        {"all selected", [&] { field->performEditingCommand(EditingCommand::SelectAll); }},
        {"scrolled to the end", [&] { field->performEditingCommand(EditingCommand::MoveRight); }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(framesFor(c.change), 1);
        EXPECT_TRUE(showsTheWholeTruth());
    }
    EXPECT_EQ(framesWhileIdle(), 2) << "the caret hidden and shown again";
    EXPECT_TRUE(showsTheWholeTruth());
    EXPECT_EQ(framesFor([&] { field->resignFirstResponder(); }), 1);
    EXPECT_EQ(framesWhileIdle(), 0);
    EXPECT_TRUE(showsTheWholeTruth());
}

// A blink draws again only the caret's own few pixels, in a field whose text scrolled to follow
// the caret and in a text view whose caret ends its third line: the rest of the editor's
// drawing is kept, and what shows is what drawing the whole editor again would show.
TEST_F(FrameSchedulerTest, ABlinkRedrawsTheCaretOnly)
{
    auto field = TextField::create(Rect(10, 250, 120, 30));
    field->setText("a text far wider than its field");
    auto text = TextView::create(Rect(20, 60, 150, 90));
    text->setText("three lines of text in a text view, the caret after the last of them");
    for (const std::shared_ptr<View>& editor : {std::shared_ptr<View>(field), std::shared_ptr<View>(text)}) {
        SCOPED_TRACE(editor == field ? "text field" : "text view");
        window->addSubview(editor);
        step(kFrame);
        ASSERT_TRUE(editor->becomeFirstResponder());
        step(kFrame);
        const QRectF caret = editor->convertRectTo(editor->caretRect(), window.get()).toQRectF();
        for (const char* blink : {"hidden", "shown"}) {
            SCOPED_TRACE(blink);
            const QRect area = redrawnFor([&] { step(0.5 - kFrame); });
            EXPECT_TRUE(QRectF(area).contains(caret)) << testing::PrintToString(area);
            EXPECT_TRUE(caret.adjusted(-2, -2, 2, 2).contains(QRectF(area))) << testing::PrintToString(area);
            const QImage blinked = frames->image();
            editor->setNeedsDisplay();
            step(kFrame);
            EXPECT_EQ(frames->image(), blinked) << "as the whole editor drawn again";
        }
        editor->removeFromSuperview();
    }
}

// At 1.5 pixels a point the phone's 375 × 667 points are 562.5 × 1000.5 pixels: the frame's
// last column and row, which its points only half cover, show the screen as their neighbours
// do, after a whole frame and after a change drawn in part.
TEST_F(FrameSchedulerTest, AtAFractionalRatioTheLastPixelsShowTheScreen)
{
    auto phone = Window::create(Rect(0, 0, 375, 667));
    phone->setBackgroundColor(Color::white());
    phone->makeKeyAndVisible();
    auto side = View::create(Rect(300, 0, 75, 600));
    side->setBackgroundColor(Color::blue());
    phone->addSubview(side);
    FrameScheduler atOneAndAHalf(phone, [](const QRect&) {}, [] { return 1.5; });
    atOneAndAHalf.setVisible(true);
    const auto edgesShowTheScreen = [&] {
        const QImage& frame = atOneAndAHalf.image();
        const auto same = [](QRgb a, QRgb b) { return std::abs(qRed(a) - qRed(b)) + std::abs(qBlue(a) - qBlue(b)) + std::abs(qAlpha(a) - qAlpha(b)) <= 6; };
        bool shows = frame.size() == QSize(563, 1001);
        for (int y = 0; y < frame.height(); ++y)
            shows = shows && same(frame.pixel(562, y), frame.pixel(561, y));
        for (int x = 0; x < frame.width(); ++x)
            shows = shows && same(frame.pixel(x, 1000), frame.pixel(x, 999));
        return shows;
    };
    step(kFrame);
    EXPECT_TRUE(edgesShowTheScreen());
    side->setBackgroundColor(Color::red());
    step(kFrame);
    EXPECT_TRUE(edgesShowTheScreen()) << "the side's colour drawn again in part";
}

// A spinner runs until it is taken away; one that cannot be seen costs nothing.
TEST_F(FrameSchedulerTest, EndlessAnimationsRunWhileTheyCanBeSeen)
{
    auto spin = BasicAnimation::create("transform.rotation", 0.0, 2 * M_PI, 1);
    spin->setRepeatCount(std::numeric_limits<double>::infinity());
    box->layer()->addAnimation(spin, "spin");
    const Change steps[] = {
        {"hidden", [&] { box->setHidden(true); }},
        {"shown", [&] { box->setHidden(false); }},
        {"faded out, as a wait overlay with its spinner", [&] { panel->setAlpha(0); }},
        {"faded in", [&] { panel->setAlpha(1); }},
        {"taken away", [&] { box->layer()->removeAnimationForKey("spin"); }},
    };
    step(kFrame);
    EXPECT_EQ(framesWhileIdle(), 60);
    for (const auto& s : steps) {
        SCOPED_TRACE(s.what);
        framesFor(s.change);
        EXPECT_EQ(framesWhileIdle(), box->isHidden() || panel->alpha() == 0 || !box->layer()->hasAnimations() ? 0 : 60);
    }
    EXPECT_TRUE(showsTheWholeTruth());
}

// However many changes come, the screen gets at most one frame per display frame.
TEST_F(FrameSchedulerTest, FramesFollowOneAnotherNoSoonerThanADisplayFrame)
{
    box->setAlpha(0.3);
    step(0);
    EXPECT_EQ(frames->framesDrawn(), 2) << "the first change after a rest is drawn at once";
    box->setAlpha(0.4);
    swatch->paint(Color::green());
    step(kFrame / 2);
    EXPECT_EQ(frames->framesDrawn(), 2);
    step(kFrame / 2);
    EXPECT_EQ(frames->framesDrawn(), 3);
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
    box->setBackgroundColor(Color::green());   // a frame asked for just before the window goes
    host.hide();
    step(1);
    EXPECT_EQ(host.framesDrawn(), 1);
    host.show();
    step(1);
    EXPECT_EQ(host.framesDrawn(), 2);
}

// A window moved to a monitor of another pixel ratio is painted at once at that ratio, though
// nothing in it changed; a paint at the same ratio draws nothing new.
TEST_F(FrameSchedulerTest, APaintAtAnotherScaleDrawsTheWholeWindowAtIt)
{
    double scale = 1;
    frames = std::make_unique<FrameScheduler>(window, [](const QRect&) {}, [&] { return scale; });
    frames->setVisible(true);
    step(kFrame);
    EXPECT_EQ(frames->image().size(), QSize(200, 300));
    scale = 1.5;
    frames->ensureFrame();
    EXPECT_EQ(frames->framesDrawn(), 2);
    EXPECT_EQ(frames->image().size(), QSize(300, 450));
    EXPECT_EQ(frames->image(), Renderer::render(*window->layer(), window->bounds().size, 1.5));
    frames->ensureFrame();
    EXPECT_EQ(frames->framesDrawn(), 2);
}

} // namespace
