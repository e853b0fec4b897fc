#include "platform/ui/View.h"

#include "platform/ui/DrawContext.h"
#include "platform/ui/Layer.h"
#include "platform/ui/PlatformHooks.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace ui;

namespace {

class ViewTest : public UiFixture {};

std::vector<int> tagsOf(const View& parent)
{
    std::vector<int> tags;
    for (const auto& v : parent.subviews())
        tags.push_back(v->tag());
    return tags;
}

std::shared_ptr<View> tagged(int tag, const Rect& frame = Rect(0, 0, 10, 10))
{
    auto v = View::create(frame);
    v->setTag(tag);
    return v;
}

class CountingView : public View {
public:
    static std::shared_ptr<CountingView> create(const Rect& frame)
    {
        return std::shared_ptr<CountingView>(new CountingView(frame));
    }
    int layouts = 0;
    int windowMoves = 0;
    int superviewMoves = 0;
    bool drawRed = false;
    bool acceptsFirstResponder = false;
    bool canBecomeFirstResponder() const override { return acceptsFirstResponder; }

protected:
    using View::View;
    void layoutSubviews() override { ++layouts; }
    void didMoveToWindow() override { ++windowMoves; }
    void didMoveToSuperview() override { ++superviewMoves; }
    void draw(DrawContext& context) override
    {
        context.setFillColor(Color::red());
        context.fillRect(bounds());
    }
};

} // namespace

TEST_F(ViewTest, FrameBoundsAndCenterDescribeTheSameRectangle)
{
    auto v = View::create(Rect(10, 20, 100, 50));
    EXPECT_EQ(v->bounds(), Rect(0, 0, 100, 50));
    EXPECT_EQ(v->center(), Point(60, 45));

    v->setCenter(Point(100, 100));
    EXPECT_EQ(v->frame(), Rect(50, 75, 100, 50));

    v->setBounds(Rect(0, 0, 40, 40));   // resizes about the centre
    EXPECT_EQ(v->frame(), Rect(80, 80, 40, 40));

    v->setTransform(Transform::scale(2, 2));
    EXPECT_EQ(v->frame(), Rect(60, 60, 80, 80));
    EXPECT_EQ(v->bounds(), Rect(0, 0, 40, 40));
}

TEST_F(ViewTest, SubviewOrderOperations)
{
    auto parent = View::create();
    auto a = tagged(1), b = tagged(2), c = tagged(3), d = tagged(4);
    parent->addSubview(a);
    parent->addSubview(b);
    parent->addSubview(c);
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{1, 2, 3}));

    parent->insertSubviewAt(d, 1);
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{1, 4, 2, 3}));
    parent->insertSubviewAbove(a, c);   // moving within the same parent
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{4, 2, 3, 1}));
    parent->insertSubviewBelow(a, d);
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{1, 4, 2, 3}));
    parent->bringSubviewToFront(a);
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{4, 2, 3, 1}));
    parent->sendSubviewToBack(c);
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{3, 4, 2, 1}));
    parent->addSubview(c);   // adding a subview again moves it to the top
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{4, 2, 1, 3}));
    b->removeFromSuperview();
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{4, 1, 3}));
    EXPECT_EQ(b->superview(), nullptr);

    // The layer tree follows the subview order (it is what the renderer draws).
    std::vector<Layer*> expected;
    for (const auto& v : parent->subviews())
        expected.push_back(v->layer().get());
    std::vector<Layer*> actual;
    for (const auto& l : parent->layer()->sublayers())
        actual.push_back(l.get());
    EXPECT_EQ(actual, expected);
}

TEST_F(ViewTest, AddingToAnotherParentReparentsAndRefusesCycles)
{
    auto first = View::create(), second = View::create(), child = View::create();
    first->addSubview(child);
    second->addSubview(child);
    EXPECT_TRUE(first->subviews().empty());
    EXPECT_EQ(child->superview(), second);
    EXPECT_EQ(child->layer()->superlayer(), second->layer());

    child->addSubview(second);   // would make a cycle
    EXPECT_TRUE(child->subviews().empty());
    second->addSubview(second);
    EXPECT_EQ(second->subviews().size(), 1u);
}

TEST_F(ViewTest, AConstructorMayBuildItsSubviews)
{
    class Composite : public View {
    public:
        static std::shared_ptr<Composite> create() { return std::shared_ptr<Composite>(new Composite()); }
        std::shared_ptr<View> part = View::create(Rect(1, 2, 3, 4));

    private:
        Composite() : View(Rect(0, 0, 50, 50)) { addSubview(part); }
    };
    auto composite = Composite::create();
    EXPECT_EQ(composite->part->superview(), composite);
    EXPECT_EQ(composite->part->convertPointTo(Point(), composite.get()), Point(1, 2));
    auto window = Window::create(Rect(0, 0, 50, 50));
    window->addSubview(composite);
    EXPECT_EQ(composite->part->window(), window);
}

TEST_F(ViewTest, ViewWithTagSearchesItselfFirstThenDepthFirst)
{
    auto root = tagged(7);
    auto a = tagged(1), aChild = tagged(5), b = tagged(5), bChild = tagged(9);
    root->addSubview(a);
    a->addSubview(aChild);
    root->addSubview(b);
    b->addSubview(bChild);

    EXPECT_EQ(root->viewWithTag(7), root);
    EXPECT_EQ(root->viewWithTag(5), aChild);   // depth-first reaches a's child before b
    EXPECT_EQ(root->viewWithTag(9), bChild);
    EXPECT_EQ(root->viewWithTag(42), nullptr);
    EXPECT_EQ(b->viewWithTag(5), b);
}

TEST_F(ViewTest, HitTestingSkipsHiddenTransparentAndInertViewsAndStaysInsideParents)
{
    struct Case {
        const char* name;
        std::function<void(View& child)> setUp;
        Point point;   // in the root's coordinates
        bool hitsChild;
    };
    const std::vector<Case> cases = {
        {"plain", [](View&) {}, Point(15, 15), true},
        {"hidden", [](View& c) { c.setHidden(true); }, Point(15, 15), false},
        {"alpha below 0.01", [](View& c) { c.setAlpha(0.009); }, Point(15, 15), false},
        {"alpha exactly 0.01", [](View& c) { c.setAlpha(0.01); }, Point(15, 15), true},
        {"interaction off", [](View& c) { c.setUserInteractionEnabled(false); }, Point(15, 15), false},
        {"part sticking out of the parent", [](View&) {}, Point(55, 15), false},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        auto root = View::create(Rect(0, 0, 100, 100));
        auto parent = View::create(Rect(0, 0, 50, 50));
        auto child = View::create(Rect(10, 10, 60, 20));   // reaches past the parent's right edge
        root->addSubview(parent);
        parent->addSubview(child);
        tc.setUp(*child);
        auto hit = root->hitTest(tc.point, nullptr);
        EXPECT_EQ(hit == child, tc.hitsChild);
        if (!tc.hitsChild) {
            EXPECT_TRUE(hit == parent || hit == root);
        }
    }
}

TEST_F(ViewTest, HitTestingPrefersTheTopmostSubviewAndFollowsTransforms)
{
    auto root = View::create(Rect(0, 0, 100, 100));
    auto below = tagged(1, Rect(0, 0, 50, 50));
    auto above = tagged(2, Rect(25, 25, 50, 50));
    root->addSubview(below);
    root->addSubview(above);
    EXPECT_EQ(root->hitTest(Point(30, 30), nullptr), above);
    EXPECT_EQ(root->hitTest(Point(10, 10), nullptr), below);

    above->setTransform(Transform::translation(40, 0));   // now spans x 65..115
    EXPECT_EQ(root->hitTest(Point(30, 30), nullptr), below);
    EXPECT_EQ(root->hitTest(Point(70, 30), nullptr), above);
    EXPECT_EQ(root->hitTest(Point(150, 30), nullptr), nullptr);
}

TEST_F(ViewTest, ConvertsPointsAndRectsBetweenViews)
{
    auto root = View::create(Rect(0, 0, 320, 480));
    auto a = View::create(Rect(10, 20, 100, 100));
    auto b = View::create(Rect(5, 5, 50, 50));
    auto c = View::create(Rect(200, 300, 40, 40));
    root->addSubview(a);
    a->addSubview(b);
    root->addSubview(c);
    EXPECT_EQ(b->convertPointTo(Point(1, 2), root.get()), Point(16, 27));
    EXPECT_EQ(b->convertPointTo(Point(1, 2), nullptr), Point(16, 27));
    EXPECT_EQ(c->convertPointFrom(Point(1, 2), b.get()), Point(-184, -273));
    EXPECT_EQ(b->convertRectTo(Rect(0, 0, 10, 10), c.get()), Rect(-185, -275, 10, 10));
}

TEST_F(ViewTest, AutoresizingDistributesTheChangeOverTheFlexibleParts)
{
    struct Case {
        const char* name;
        unsigned mask;
        Rect expected;   // after the parent grows from 100 x 100 to 200 x 150
    };
    const std::vector<Case> cases = {
        {"none", Autoresizing::None, Rect(10, 20, 30, 40)},
        {"width and height", Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight, Rect(10, 20, 130, 90)},
        {"left margin", Autoresizing::FlexibleLeftMargin, Rect(110, 20, 30, 40)},
        {"right and bottom margins", Autoresizing::FlexibleRightMargin | Autoresizing::FlexibleBottomMargin,
         Rect(10, 20, 30, 40)},
        // Left margin 10 and width 30 share 100 points of growth as 10 : 30.
        {"left margin and width", Autoresizing::FlexibleLeftMargin | Autoresizing::FlexibleWidth,
         Rect(35, 20, 105, 40)},
        {"top margin and height", Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleHeight,
         Rect(10, 20 + 50.0 * 20 / 60, 30, 40 + 50.0 * 40 / 60)},
    };
    for (const auto& tc : cases) {
        SCOPED_TRACE(tc.name);
        auto parent = View::create(Rect(0, 0, 100, 100));
        auto child = View::create(Rect(10, 20, 30, 40));
        child->setAutoresizingMask(tc.mask);
        parent->addSubview(child);
        parent->setFrame(Rect(0, 0, 200, 150));
        const Rect f = child->frame();
        EXPECT_NEAR(f.x(), tc.expected.x(), 1e-9);
        EXPECT_NEAR(f.y(), tc.expected.y(), 1e-9);
        EXPECT_NEAR(f.width(), tc.expected.width(), 1e-9);
        EXPECT_NEAR(f.height(), tc.expected.height(), 1e-9);
    }

    auto parent = View::create(Rect(0, 0, 100, 100));
    auto child = View::create(Rect(10, 20, 30, 40));
    child->setAutoresizingMask(Autoresizing::FlexibleWidth);
    parent->setAutoresizesSubviews(false);
    parent->addSubview(child);
    parent->setFrame(Rect(0, 0, 200, 200));
    EXPECT_EQ(child->frame(), Rect(10, 20, 30, 40));
}

TEST_F(ViewTest, LayoutRunsOncePerTurnForViewsInAWindowAndAtOnceOnRequest)
{
    auto window = Window::create(Rect(0, 0, 320, 480));
    auto v = CountingView::create(Rect(0, 0, 10, 10));
    window->addSubview(v);
    step();
    EXPECT_EQ(v->layouts, 1);

    v->setNeedsLayout();
    v->setNeedsLayout();
    EXPECT_EQ(v->layouts, 1);   // not inside the call
    step();
    EXPECT_EQ(v->layouts, 2);   // once for both requests

    v->setFrame(Rect(0, 0, 20, 20));   // a new size asks for layout
    v->layoutIfNeeded();
    EXPECT_EQ(v->layouts, 3);
    v->layoutIfNeeded();
    EXPECT_EQ(v->layouts, 3);
    v->setCenter(Point(50, 50));       // moving alone does not
    step();
    EXPECT_EQ(v->layouts, 3);

    auto detached = CountingView::create(Rect(0, 0, 10, 10));
    detached->setNeedsLayout();
    step();
    EXPECT_EQ(detached->layouts, 0);
    detached->layoutIfNeeded();
    EXPECT_EQ(detached->layouts, 1);
}

TEST_F(ViewTest, HierarchyNoticesArriveWhenTheWindowChanges)
{
    auto window = Window::create(Rect(0, 0, 320, 480));
    auto container = View::create();
    auto v = CountingView::create(Rect());
    container->addSubview(v);
    EXPECT_EQ(v->superviewMoves, 1);
    EXPECT_EQ(v->windowMoves, 0);
    window->addSubview(container);
    EXPECT_EQ(v->windowMoves, 1);
    EXPECT_EQ(v->window(), window);
    container->removeFromSuperview();
    EXPECT_EQ(v->windowMoves, 2);
    EXPECT_EQ(v->window(), nullptr);
    EXPECT_EQ(v->superviewMoves, 1);
}

TEST_F(ViewTest, FirstResponderNeedsAWindowAndConsentAndEndsWithRemoval)
{
    auto window = Window::create(Rect(0, 0, 320, 480));
    auto field = CountingView::create(Rect(0, 0, 10, 10));
    auto other = CountingView::create(Rect(0, 0, 10, 10));
    field->acceptsFirstResponder = true;
    other->acceptsFirstResponder = true;

    EXPECT_FALSE(field->becomeFirstResponder());   // no window yet
    window->addSubview(field);
    window->addSubview(other);
    auto plain = View::create();
    window->addSubview(plain);
    EXPECT_FALSE(plain->becomeFirstResponder());

    EXPECT_TRUE(field->becomeFirstResponder());
    EXPECT_TRUE(field->isFirstResponder());
    EXPECT_TRUE(other->becomeFirstResponder());
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(window->firstResponder(), other);

    other->removeFromSuperview();
    EXPECT_EQ(window->firstResponder(), nullptr);
    EXPECT_FALSE(other->isFirstResponder());
}

TEST_F(ViewTest, CustomDrawingReachesTheRenderedImage)
{
    auto window = Window::create(Rect(0, 0, 40, 40));
    window->setBackgroundColor(Color::white());
    window->makeKeyAndVisible();
    auto v = CountingView::create(Rect(10, 10, 20, 20));
    window->addSubview(v);
    v->setNeedsDisplay();
    const QImage image = window->renderImage();
    EXPECT_EQ(Renderer::colorAt(image, Point(20, 20)), Color::red());
    EXPECT_EQ(Renderer::colorAt(image, Point(5, 5)), Color::white());
}

TEST_F(ViewTest, InsertionHookRunsBeforeThePlatformInsertion)
{
    QStringList log;
    PlatformHooks::installAddSubviewHook([&log](View& parent, const std::shared_ptr<View>& child,
                                                const PlatformHooks::AddSubviewFn& previous) {
        log << QStringLiteral("hook %1").arg(child->tag());
        if (child->tag() == 2)
            child->setFrame(Rect(0, 0, 1, 1));   // the hook may adjust before inserting
        previous(parent, child);
        log << QStringLiteral("inserted %1").arg(parent.subviews().size());
    });
    auto parent = View::create();
    parent->addSubview(tagged(1));
    parent->addSubview(tagged(2));
    parent->insertSubviewAt(tagged(3), 0);   // only addSubview goes through the hook
    EXPECT_EQ(log, (QStringList{"hook 1", "inserted 1", "hook 2", "inserted 2"}));
    EXPECT_EQ(parent->subviews()[2]->frame(), Rect(0, 0, 1, 1));
}
