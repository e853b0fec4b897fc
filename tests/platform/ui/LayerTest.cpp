#include "platform/ui/Layer.h"

#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/BasicAnimation.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/ShapeLayer.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

namespace {

std::vector<Layer*> order(const Layer& parent)
{
    std::vector<Layer*> out;
    for (const auto& l : parent.sublayers())
        out.push_back(l.get());
    return out;
}

TEST(LayerTest, FrameAndPointsFollowPositionAnchorBoundsAndTransform)
{
    auto layer = Layer::create();
    layer->setFrame(Rect(10, 20, 100, 40));
    EXPECT_EQ(layer->position(), Point(60, 40));
    layer->setBounds(Rect(0, 30, 60, 20));   // resizes about the centre; the origin scrolls the content
    EXPECT_EQ(layer->frame(), Rect(30, 30, 60, 20));

    // A quarter turn about the centre swaps the frame's sides.
    auto turned = Layer::create();
    turned->setFrame(Rect(0, 0, 100, 40));
    turned->setTransform(Transform::rotation(M_PI / 2));
    EXPECT_NEAR(turned->frame().x(), 30, 1e-9);
    EXPECT_NEAR(turned->frame().height(), 100, 1e-9);

    // Points convert through the tree, its scrolled bounds and transforms.
    auto root = Layer::create();
    root->setFrame(Rect(0, 0, 300, 300));
    auto a = Layer::create();
    a->setFrame(Rect(100, 50, 100, 100));
    auto b = Layer::create();
    b->setFrame(Rect(10, 10, 20, 20));
    root->addSublayer(a);
    a->addSublayer(b);
    EXPECT_EQ(b->convertPointTo(Point(0, 0), root.get()), Point(110, 60));
    EXPECT_EQ(root->convertPointTo(Point(110, 60), b.get()), Point(0, 0));
    EXPECT_EQ(b->convertRectTo(Rect(0, 0, 5, 5), a.get()), Rect(10, 10, 5, 5));

    a->setBounds(Rect(0, 20, 100, 100));   // scrolled by 20
    EXPECT_EQ(b->convertPointTo(Point(0, 0), root.get()), Point(110, 40));
    a->setTransform(Transform::scale(2, 2));   // about a's centre (150, 100)
    EXPECT_EQ(b->convertPointTo(Point(0, 0), root.get()), Point(70, -20));
    EXPECT_EQ(root->convertPointTo(Point(70, -20), b.get()), Point(0, 0));
}

TEST(LayerTest, SublayerOrderAndReparenting)
{
    auto parent = Layer::create(), other = Layer::create();
    auto a = Layer::create(), b = Layer::create(), c = Layer::create(), shadow = Layer::create();
    parent->addSublayer(a);
    parent->addSublayer(b);
    parent->insertSublayerBelow(shadow, b.get());
    parent->insertSublayerBelow(shadow, a.get());   // inserted again: moved, not duplicated
    parent->insertSublayerBelow(c, nullptr);
    EXPECT_EQ(order(*parent), (std::vector<Layer*>{c.get(), shadow.get(), a.get(), b.get()}));
    other->addSublayer(a);   // moves
    EXPECT_EQ(order(*parent), (std::vector<Layer*>{c.get(), shadow.get(), b.get()}));

    // A layer whose only owner was its superlayer survives its own removal call.
    std::weak_ptr<Layer> weak = b;
    b.reset();
    weak.lock()->removeFromSuperlayer();
    EXPECT_TRUE(weak.expired());
}

TEST(LayerTest, PresentationIsADetachedCopyWithAnimationsApplied)
{
    core::ManualClock clock;
    auto slider = Layer::create();
    slider->setFrame(Rect(0, 0, 100, 100));
    auto mask = ShapeLayer::create();
    mask->setPath(Path::rect(Rect(0, 0, 100, 100)));
    slider->setMask(mask);
    slider->addSublayer(Layer::create());

    auto grow = BasicAnimation::create("bounds", Rect(0, 0, 100, 100), Rect(0, 0, 200, 100), 1);
    grow->setTimingFunction(TimingFunction::linear());
    mask->addAnimation(grow, "animateBounds");
    clock.advance(0.5);

    auto shown = slider->presentation();
    EXPECT_TRUE(shown->sublayers().empty());
    ASSERT_NE(shown->mask(), nullptr);
    EXPECT_EQ(shown->mask()->bounds(), Rect(0, 0, 150, 100));
    auto shape = std::dynamic_pointer_cast<ShapeLayer>(mask->presentation());
    ASSERT_NE(shape, nullptr);   // a shape layer's presentation is a shape layer
    EXPECT_EQ(shape->path(), mask->path());
    EXPECT_EQ(mask->bounds(), Rect(0, 0, 0, 0));
    core::RunLoop::main().reset();
}

TEST(LayerTest, CustomDrawingIsCachedUntilAskedAgain)
{
    auto layer = Layer::create();
    layer->setFrame(Rect(0, 0, 10, 10));
    int draws = 0;
    layer->setDrawCallback([&](DrawContext& ctx) {
        ++draws;
        ctx.setFillColor(Color::red());
        ctx.fillRect(Rect(0, 0, 10, 10));
    });
    // Each step: what changed, the scale drawn at, and whether the callback runs again.
    const std::tuple<std::function<void()>, double, int> steps[] = {
        {[] {}, 2, 1}, {[] {}, 2, 1}, {[&] { layer->setNeedsDisplay(); }, 2, 2},
        {[&] { layer->setBounds(Rect(0, 0, 20, 10)); }, 2, 3}, {[] {}, 3, 4},
        {[&] { layer->setFrame(Rect(5, 5, 20, 10)); }, 3, 4}};   // moving alone draws nothing new
    for (const auto& [change, scale, expected] : steps) {
        change();
        Renderer::render(*layer, Size(30, 30), scale);
        EXPECT_EQ(draws, expected);
    }
}

} // namespace
