#include "platform/ui/View.h"

#include "platform/ui/Layer.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"
#include "support/ProbeView.h"

using namespace ui;
using uitest::ProbeView;

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

} // namespace

TEST_F(ViewTest, SubviewOrderOperations)
{
    auto parent = View::create();
    auto a = tagged(1), b = tagged(2), c = tagged(3), d = tagged(4);
    for (const auto& v : {a, b, c})
        parent->addSubview(v);

    parent->insertSubviewAt(d, 1);
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{1, 4, 2, 3}));
    parent->insertSubviewAbove(a, c);   // moving within the same parent
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{4, 2, 3, 1}));
    parent->insertSubviewBelow(a, d);
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{1, 4, 2, 3}));
    parent->sendSubviewToBack(c);
    parent->addSubview(d);   // adding a subview again moves it to the top
    b->removeFromSuperview();
    EXPECT_EQ(tagsOf(*parent), (std::vector<int>{3, 1, 4}));

    // The layer tree follows the subview order (it is what the renderer draws).
    for (size_t i = 0; i < parent->subviews().size(); ++i)
        EXPECT_EQ(parent->layer()->sublayers()[i], parent->subviews()[i]->layer());
}

TEST_F(ViewTest, HitTestingSkipsHiddenTransparentAndInertViewsStaysInsideParentsAndPrefersTheTopmost)
{
    // name, change to the child, point in the root's coordinates, whether it hits the child
    const std::vector<std::tuple<const char*, std::function<void(View&)>, Point, bool>> cases = {
        {"plain", [](View&) {}, Point(15, 15), true},
        {"on the child's last point", [](View&) {}, Point(49.9, 29.9), true},
        {"just below the child", [](View&) {}, Point(15, 30), false},
        {"hidden", [](View& c) { c.setHidden(true); }, Point(15, 15), false},
        {"alpha below 0.01", [](View& c) { c.setAlpha(0.009); }, Point(15, 15), false},
        {"alpha exactly 0.01", [](View& c) { c.setAlpha(0.01); }, Point(15, 15), true},
        {"interaction off", [](View& c) { c.setUserInteractionEnabled(false); }, Point(15, 15), false},
        {"part sticking out of the parent", [](View&) {}, Point(55, 15), false},
    };
    for (const auto& [name, setUp, point, hitsChild] : cases) {
        SCOPED_TRACE(name);
        auto root = View::create(Rect(0, 0, 100, 100));
        auto parent = View::create(Rect(0, 0, 50, 50));
        auto child = View::create(Rect(10, 10, 60, 20));   // reaches past the parent's right edge
        root->addSubview(parent);
        parent->addSubview(child);
        setUp(*child);
        auto hit = root->hitTest(point, nullptr);
        EXPECT_TRUE(hitsChild ? hit == child : hit == parent || hit == root);
    }

    // The topmost subview wins, where its transform has put it.
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

TEST_F(ViewTest, AutoresizingDistributesTheChangeOverTheFlexibleParts)
{
    // After the parent grows from 100 x 100 to 200 x 150; flexible parts share the growth
    // in proportion to their sizes (a left margin of 10 and a width of 30 take 25 and 75).
    const std::pair<unsigned, Rect> cases[] = {
        {Autoresizing::None, Rect(10, 20, 30, 40)},
        {Autoresizing::FlexibleWidth | Autoresizing::FlexibleHeight, Rect(10, 20, 130, 90)},
        {Autoresizing::FlexibleLeftMargin, Rect(110, 20, 30, 40)},
        {Autoresizing::FlexibleRightMargin | Autoresizing::FlexibleBottomMargin, Rect(10, 20, 30, 40)},
        {Autoresizing::FlexibleLeftMargin | Autoresizing::FlexibleWidth, Rect(35, 20, 105, 40)},
        {Autoresizing::FlexibleTopMargin | Autoresizing::FlexibleHeight, Rect(10, 20 + 50.0 / 3, 30, 40 + 100.0 / 3)},
    };
    for (const auto& [mask, expected] : cases) {
        auto parent = View::create(Rect(0, 0, 100, 100));
        auto child = View::create(Rect(10, 20, 30, 40));
        child->setAutoresizingMask(mask);
        parent->addSubview(child);
        parent->setFrame(Rect(0, 0, 200, 150));
        EXPECT_LT(std::abs(child->frame().x() - expected.x()) + std::abs(child->frame().y() - expected.y())
                      + std::abs(child->frame().width() - expected.width()) + std::abs(child->frame().height() - expected.height()), 1e-9)
            << mask;
        child->setFrame(Rect(10, 20, 30, 40));
        parent->setAutoresizesSubviews(false);   // and turned off, nothing moves
        parent->setFrame(Rect(0, 0, 100, 100));
        EXPECT_EQ(child->frame(), Rect(10, 20, 30, 40));
    }
}

TEST_F(ViewTest, LayoutRunsOncePerTurnForViewsInAWindowAndAtOnceOnRequest)
{
    auto window = Window::create(Rect(0, 0, 320, 480));
    auto v = ProbeView::create(Rect(0, 0, 10, 10));
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

    auto detached = ProbeView::create(Rect(0, 0, 10, 10));
    detached->setNeedsLayout();
    step();
    EXPECT_EQ(detached->layouts, 0);
    detached->layoutIfNeeded();
    EXPECT_EQ(detached->layouts, 1);
}

TEST_F(ViewTest, FirstResponderNeedsAWindowAndConsentAndEndsWithRemoval)
{
    auto window = Window::create(Rect(0, 0, 320, 480));
    auto field = ProbeView::create(Rect(0, 0, 10, 10));
    auto other = ProbeView::create(Rect(0, 0, 10, 10));
    field->acceptsFirstResponder = true;
    other->acceptsFirstResponder = true;

    EXPECT_FALSE(field->becomeFirstResponder());   // no window yet
    window->addSubview(field);
    window->addSubview(other);
    auto plain = View::create();
    window->addSubview(plain);
    EXPECT_FALSE(plain->becomeFirstResponder());

    EXPECT_TRUE(field->becomeFirstResponder());
    EXPECT_TRUE(other->becomeFirstResponder());
    EXPECT_FALSE(field->isFirstResponder());
    EXPECT_EQ(window->firstResponder(), other);

    other->removeFromSuperview();
    EXPECT_EQ(window->firstResponder(), nullptr);
    EXPECT_FALSE(other->isFirstResponder());
}

