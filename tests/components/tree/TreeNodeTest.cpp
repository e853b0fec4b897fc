#include "components/tree/TreeNode.h"

#include "components/tree/TreeNodeInfo.h"
#include "components/tree/TreeRowSpans.h"
#include "support/OutlineSource.h"

#include <gtest/gtest.h>

namespace {

// root
//   a
//     a1
//       a1x
//     a2
//   b
struct HandBuilt {
    TreeNode::Ptr root = TreeNode::create(nullptr, nullptr, true);
    TreeNode::Ptr a = attach(root);
    TreeNode::Ptr a1 = attach(a);
    TreeNode::Ptr a1x = attach(a1);
    TreeNode::Ptr a2 = attach(a);
    TreeNode::Ptr b = attach(root);

    static TreeNode::Ptr attach(const TreeNode::Ptr& parent)
    {
        auto node = TreeNode::create(std::make_shared<TreeItem>(), parent, false);
        parent->addChildNode(node);
        return node;
    }
};

} // namespace

TEST(TreeRowSpansTest, FindsTheChildCoveringEachOffset)
{
    // Children taking 3, 1, 5, 1 and 2 rows: offsets 0-2, 3, 4-8, 9, 10-11.
    TreeRowSpans spans;
    for (long span : { 3, 1, 5, 1, 2 })
        spans.append(span);
    struct Case { long offset, child, rest; };
    const Case cases[] = { { 0, 0, 0 }, { 2, 0, 2 }, { 3, 1, 0 }, { 4, 2, 0 }, { 8, 2, 4 },
        { 9, 3, 0 }, { 10, 4, 0 }, { 11, 4, 1 }, { 12, 5, 0 } };
    for (const auto& c : cases) {
        long rest = -1;
        EXPECT_EQ(spans.childAt(c.offset, rest), c.child) << "offset " << c.offset;
        EXPECT_EQ(rest, c.rest) << "offset " << c.offset;
    }
    EXPECT_EQ(spans.total(), 12);
}

TEST(TreeRowSpansTest, PrefixSumsStayRightThroughAppendsAndChanges)
{
    // Odd lengths exercise every shape of the Fenwick slots that append() fills in.
    TreeRowSpans spans;
    std::vector<long> plain;
    long total = 0;
    for (long i = 0; i < 37; ++i) {
        spans.append(1 + i % 4);
        plain.push_back(1 + i % 4);
        if (i % 5 == 4) {
            spans.add(i / 2, 7);
            plain[std::size_t(i / 2)] += 7;
        }
        long sum = 0;
        for (long j = 0; j <= long(plain.size()); ++j) {
            ASSERT_EQ(spans.rowsBefore(j), sum) << "after " << i + 1 << " appends, index " << j;
            if (j < long(plain.size()))
                sum += plain[std::size_t(j)];
        }
        ASSERT_EQ(spans.total(), sum);
        total = sum;
    }
    // Changes to children that are not there change nothing.
    spans.add(spans.size(), 7);
    spans.add(-1, 7);
    EXPECT_EQ(spans.total(), total);
}

TEST(TreeNodeTest, DepthVisibilityAndDescendants)
{
    HandBuilt t;
    EXPECT_EQ(t.root->treeDepthLevel(), 0);
    EXPECT_EQ(t.a->treeDepthLevel(), 0);
    EXPECT_EQ(t.a1->treeDepthLevel(), 1);
    EXPECT_EQ(t.a1x->treeDepthLevel(), 2);

    // Visibility looks only at the parent: r under an expanded q under a collapsed p.
    const auto p = HandBuilt::attach(t.root);
    const auto q = TreeNode::create(std::make_shared<TreeItem>(), p, true);
    p->addChildNode(q);
    const auto r = HandBuilt::attach(q);
    EXPECT_TRUE(r->isVisible());
    EXPECT_FALSE(q->isVisible());
    EXPECT_TRUE(p->isVisible());
    EXPECT_TRUE(t.root->isVisible());

    EXPECT_EQ(t.root->descendants(), (std::vector<TreeNode::Ptr> { t.a, t.a1, t.a1x, t.a2, t.b, p, q, r }));
    EXPECT_EQ(t.a->descendants(), (std::vector<TreeNode::Ptr> { t.a1, t.a1x, t.a2 }));

    // A node appended deep down joins every ancestor's list, not only its parent's.
    const auto a1y = HandBuilt::attach(t.a1);
    EXPECT_EQ(t.a->descendants(), (std::vector<TreeNode::Ptr> { t.a1, t.a1x, a1y, t.a2 }));
    EXPECT_EQ(t.root->descendants(), (std::vector<TreeNode::Ptr> { t.a, t.a1, t.a1x, a1y, t.a2, t.b, p, q, r }));
}

TEST(TreeNodeTest, AppendingUnderAnOpenNodeMovesTheRowsBelow)
{
    HandBuilt t;
    t.a1->expand(); // rows: a, a1, a1x, a2, b
    EXPECT_EQ(t.root->numberOfVisibleDescendants(), 5);
    EXPECT_EQ(t.b->startIndex(), 4);

    const auto a1y = HandBuilt::attach(t.a1); // rows: a, a1, a1x, a1y, a2, b
    EXPECT_EQ(a1y->startIndex(), 3);
    EXPECT_EQ(t.a2->startIndex(), 4);
    EXPECT_EQ(t.b->startIndex(), 5);
    EXPECT_EQ(t.a->endIndex(), 4);

    HandBuilt::attach(t.a2); // under a collapsed node: nothing moves
    EXPECT_EQ(t.b->startIndex(), 5);
}

// By hand a collapsed node can hold an expanded one; collapsing an ancestor closes both, so
// expanding them again shows direct children only.
TEST(TreeNodeTest, CollapseClosesTheWholeSubtreeExpandedOrNot)
{
    HandBuilt t;
    const auto deep = TreeNode::create(std::make_shared<TreeItem>(), t.a1, true); // under collapsed a1
    t.a1->addChildNode(deep);
    HandBuilt::attach(deep);
    t.a->expand(); // rows: a, a1, a2, b
    ASSERT_EQ(t.root->numberOfVisibleDescendants(), 4);

    t.a->collapse();
    EXPECT_FALSE(deep->isExpanded());
    EXPECT_EQ(t.root->numberOfVisibleDescendants(), 2);
    t.a1->expand(); // rows: a, a1, a1x, deep, a2, b; deep's child stays hidden
    EXPECT_EQ(t.root->numberOfVisibleDescendants(), 6);
    EXPECT_EQ(t.b->startIndex(), 5);
}

TEST(TreeNodeInfoTest, DescribesDepthSiblingsPositionAndNeighbours)
{
    OutlineSource outline({ { "A", false, { { "A1" }, { "A2" }, { "A3", false, { { "A3a" } } } } }, { "B" } });
    const auto controller = outline.build();
    struct Case { const char* name; long depth, siblings, position; };
    const Case cases[] = { { "A", 0, 2, 0 }, { "B", 0, 2, 1 }, { "A1", 1, 3, 0 }, { "A2", 1, 3, 1 },
        { "A3", 1, 3, 2 }, { "A3a", 2, 1, 0 } };
    for (const auto& c : cases) {
        const auto info = nodeNamed(*controller, c.name)->treeNodeInfo();
        EXPECT_EQ(info->treeDepthLevel(), c.depth) << c.name;
        EXPECT_EQ(info->siblingsNumber(), c.siblings) << c.name;
        EXPECT_EQ(info->positionInSiblings(), c.position) << c.name;
        EXPECT_TRUE(info->item()->isEqual(NamedItem(c.name))) << c.name;
    }
    // Parent and children are the neighbours' infos.
    const auto a3 = nodeNamed(*controller, "A3");
    const auto a3a = nodeNamed(*controller, "A3a");
    EXPECT_EQ(a3a->treeNodeInfo()->parent(), a3->treeNodeInfo());

    const auto& children = nodeNamed(*controller, "A")->treeNodeInfo()->children();
    ASSERT_EQ(children.size(), 3u);
    EXPECT_EQ(children[2], a3->treeNodeInfo());
    EXPECT_EQ(&nodeNamed(*controller, "A")->treeNodeInfo()->children(), &children);

    // A top-level row's parent is the invisible root.
    const auto top = nodeNamed(*controller, "B")->treeNodeInfo()->parent();
    ASSERT_TRUE(top);
    EXPECT_EQ(top->item(), nullptr);
    EXPECT_EQ(top->children().size(), 2u);

    // The expanded flag is the one of the last hand-out.
    const auto a = nodeNamed(*controller, "A");
    const auto held = a->treeNodeInfo();
    a->expand();
    EXPECT_FALSE(held->isExpanded());
    EXPECT_EQ(a->treeNodeInfo(), held);
    EXPECT_TRUE(held->isExpanded());

    // Looking up a parent hands the parent's info out again, refreshing it.
    const auto a1 = nodeNamed(*controller, "A1");
    a->collapse();
    EXPECT_TRUE(held->isExpanded());
    EXPECT_FALSE(a1->treeNodeInfo()->parent()->isExpanded());
}
