// The window's layout pass walks only the branches that lead to a view needing layout; these
// cases check that no view needing layout is missed on the way.
#include "platform/ui/View.h"

#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"
#include "support/ProbeView.h"

#include <functional>

using namespace ui;
using LayoutView = uitest::ProbeView;

namespace {

class ViewLayoutPassTest : public UiFixture {};

// window > a > b > c, settled.
struct Chain {
    std::shared_ptr<Window> window = Window::create(Rect(0, 0, 320, 480));
    std::shared_ptr<LayoutView> a = LayoutView::create();
    std::shared_ptr<LayoutView> b = LayoutView::create();
    std::shared_ptr<LayoutView> c = LayoutView::create();
    Chain()
    {
        window->addSubview(a);
        a->addSubview(b);
        b->addSubview(c);
    }
};

TEST_F(ViewLayoutPassTest, ADeepRequestIsReachedAndOnlyItsViewIsLaidOut)
{
    Chain chain;
    step();
    ASSERT_EQ(chain.c->layouts, 1);
    const int aBefore = chain.a->layouts;
    const int bBefore = chain.b->layouts;

    chain.c->setNeedsLayout();
    step();
    EXPECT_EQ(chain.c->layouts, 2);
    EXPECT_EQ(chain.a->layouts, aBefore);
    EXPECT_EQ(chain.b->layouts, bBefore);

    chain.c->setFrame(Rect(0, 0, 30, 30));   // a new size, deep down
    step();
    EXPECT_EQ(chain.c->layouts, 3);

    // A request made while the window lays something else out elsewhere still arrives.
    auto sibling = LayoutView::create();
    chain.window->addSubview(sibling);
    step();
    sibling->onLayout = [&] { chain.c->setNeedsLayout(); };
    sibling->setNeedsLayout();
    step();
    step();
    EXPECT_EQ(chain.c->layouts, 4);
}

TEST_F(ViewLayoutPassTest, ASubtreeBuiltAwayFromTheWindowIsLaidOutWhenItArrives)
{
    auto window = Window::create(Rect(0, 0, 320, 480));
    auto holder = View::create();
    window->addSubview(holder);
    step();

    auto top = LayoutView::create();
    auto leaf = LayoutView::create();
    top->addSubview(leaf);
    top->layoutIfNeeded();   // the top is settled; the leaf is not
    ASSERT_EQ(leaf->layouts, 1);
    leaf->setNeedsLayout();
    holder->addSubview(top);
    step();
    EXPECT_EQ(leaf->layouts, 2);

    // Same, with the request made before the leaf had a parent at all.
    auto late = LayoutView::create();
    auto lateLeaf = LayoutView::create();
    late->addSubview(lateLeaf);
    late->layoutIfNeeded();
    lateLeaf->setNeedsLayout();
    auto wrapper = View::create();
    wrapper->addSubview(late);
    wrapper->layoutIfNeeded();   // settles the wrapper, walks to the leaf
    EXPECT_EQ(lateLeaf->layouts, 2);
}

TEST_F(ViewLayoutPassTest, RequestsMadeDuringAPassAreServedInItOrOnTheNextTurn)
{
    Chain chain;
    auto earlier = LayoutView::create();
    chain.b->insertSubviewAt(earlier, 0);
    step();
    const int earlierBefore = earlier->layouts;
    const int cBefore = chain.c->layouts;

    // A parent resizing its subview in its own layout: the subview follows in the same pass.
    chain.b->onLayout = [&] { chain.c->setFrame(Rect(0, 0, chain.c->frame().width() + 1, 10)); };
    chain.b->setNeedsLayout();
    chain.window->layoutIfNeeded();
    EXPECT_EQ(chain.c->layouts, cBefore + 1);
    chain.b->onLayout = nullptr;

    // A later sibling asking for an earlier one's layout: served by the next pass, not lost.
    chain.c->onLayout = [&] { earlier->setNeedsLayout(); };
    chain.c->setNeedsLayout();
    chain.window->layoutIfNeeded();
    chain.c->onLayout = nullptr;
    EXPECT_EQ(earlier->layouts, earlierBefore);
    chain.window->layoutIfNeeded();
    EXPECT_EQ(earlier->layouts, earlierBefore + 1);
    EXPECT_FALSE(earlier->needsLayout());
}

} // namespace
