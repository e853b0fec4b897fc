#include "components/tree/TreeNodeInfo.h"

#include "components/tree/TreeNode.h"
#include "components/tree/TreeNodeCollectionController.h"
#include "support/OutlineSource.h"

#include <gtest/gtest.h>

namespace {

std::vector<Outline> sample()
{
    return { { "A", false, { { "A1" }, { "A2" }, { "A3", false, { { "A3a" } } } } }, { "B" } };
}

std::shared_ptr<TreeNode> nodeNamed(const TreeNodeCollectionController& controller, const std::string& name)
{
    for (const auto& node : controller.root()->descendants()) {
        if (nameOf(node) == name)
            return node;
    }
    return nullptr;
}

} // namespace

TEST(TreeNodeInfoTest, DescribesDepthSiblingsAndPosition)
{
    OutlineSource outline(sample());
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
}

TEST(TreeNodeInfoTest, ParentAndChildrenAreTheNeighboursInfos)
{
    OutlineSource outline(sample());
    const auto controller = outline.build();
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
}

TEST(TreeNodeInfoTest, FlagIsTheOneOfTheLastHandOut)
{
    OutlineSource outline(sample());
    const auto controller = outline.build();
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
