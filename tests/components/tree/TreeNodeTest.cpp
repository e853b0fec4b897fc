#include "components/tree/TreeNode.h"

#include "components/tree/TreeItem.h"

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
