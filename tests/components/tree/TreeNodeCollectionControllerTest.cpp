#include "components/tree/TreeNodeCollectionController.h"

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNode.h"
#include "components/tree/TreeNodeInfo.h"
#include "support/OutlineSource.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// Expands ("+X") or collapses ("-X"). Where the view would animate the change (a row
// on screen that changes state), checks that the row range it would animate is exactly
// the rows that appear or go.
void change(const TreeNodeCollectionController& controller, const std::string& op)
{
    const auto node = nodeNamed(controller, op.substr(1));
    ASSERT_TRUE(node) << op;
    const bool expanding = op[0] == '+';
    const auto before = rowsByWalk(controller);
    const bool animated = std::count(before.begin(), before.end(), op.substr(1)) && node->isExpanded() != expanding;
    long first = node->startIndex() + 1;
    long last = node->endIndex();
    if (expanding) {
        node->expand();
        first = node->startIndex() + 1;
        last = node->endIndex();
    } else {
        node->collapse();
    }
    if (!animated)
        return;
    auto longer = expanding ? rowsByWalk(controller) : before;
    const auto shorter = expanding ? before : rowsByWalk(controller);
    ASSERT_LE(last + 1, long(longer.size())) << op;
    longer.erase(longer.begin() + first, longer.begin() + last + 1);
    EXPECT_EQ(longer, shorter) << op << " animates rows " << first << " to " << last;
}

std::vector<Outline> nested()
{
    return {
        { "A", false, { { "A1", false, { { "A1a" }, { "A1b" } } }, { "A2" } } },
        { "B", false, { { "B1", false, { { "B1a" } } } } },
        { "C" },
    };
}

} // namespace

TEST(TreeNodeCollectionControllerTest, RowOrderAfterNestedExpandsAndCollapses)
{
    struct Case { std::vector<std::string> ops, rows; };
    const Case cases[] = {
        { {}, { "A", "B", "C" } },
        { { "+A" }, { "A", "A1", "A2", "B", "C" } },
        { { "+A1", "+B1" }, { "A", "A1", "A1a", "A1b", "A2", "B", "B1", "B1a", "C" } },
        { { "+A1", "-A", "+A" }, { "A", "A1", "A2", "B", "C" } },
        { { "+A1", "+B1", "-A1" }, { "A", "A1", "A2", "B", "B1", "B1a", "C" } },
        { { "+B1a", "+A1b", "-B1", "+C" }, { "A", "A1", "A1a", "A1b", "A2", "B", "B1", "C" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.ops));
        OutlineSource outline(nested());
        const auto controller = outline.build();
        for (const auto& op : c.ops)
            change(*controller, op);
        EXPECT_EQ(rowsByWalk(*controller), c.rows);
        EXPECT_EQ(rowsByLookup(*controller), c.rows);
    }
}

TEST(TreeNodeCollectionControllerTest, RowsAndLookupsAgreeThroughRandomChanges)
{
    std::vector<Outline> top;
    for (int i = 0; i < 7; ++i) {
        Outline a { "n" + std::to_string(i), false, {} };
        for (int j = 0; j < 1 + i % 4; ++j) {
            Outline b { a.name + "." + std::to_string(j), false, {} };
            for (int k = 0; k < (i + j) % 5; ++k)
                b.children.push_back({ b.name + "." + std::to_string(k), false, {} });
            a.children.push_back(b);
        }
        top.push_back(a);
    }
    OutlineSource outline(top);
    const auto controller = outline.build();
    const auto& all = controller->root()->descendants();
    std::mt19937 random(7);
    for (int step = 0; step < 400; ++step) {
        const auto& node = all[random() % all.size()];
        change(*controller, (random() % 3 ? "+" : "-") + nameOf(node));
        const auto rows = rowsByWalk(*controller);
        ASSERT_EQ(rowsByLookup(*controller), rows) << "step " << step;
        for (long row = 0; row < long(rows.size()); ++row) {
            const auto shown = controller->treeNodeForIndex(row);
            ASSERT_EQ(shown->startIndex(), row);
            ASSERT_EQ(shown->endIndex(), row + long(shown->visibleDescendants().size()));
            ASSERT_EQ(controller->indexForItem(shown->item()), row);
        }
    }
}

TEST(TreeNodeCollectionControllerTest, ExpandedAfterReloadAnswers)
{
    // A nested YES opens its ancestors; a top-level YES opens that item alone.
    OutlineSource outline({ { "A", false, { { "B", true, { { "C" } } } } }, { "D", true, { { "E" } } }, { "F", false, { { "G" } } } });
    const auto controller = outline.build();
    EXPECT_EQ(rowsByLookup(*controller), names({ "A", "B", "C", "D", "E", "F" }));
    EXPECT_TRUE(nodeNamed(*controller, "A")->isExpanded());
    EXPECT_FALSE(nodeNamed(*controller, "C")->isExpanded());
    EXPECT_EQ(nodeNamed(*controller, "A")->visibleDescendants().size(), 2u);

    // Nobody answering means collapsed.
    auto source = outline.source();
    source.shouldBeExpanded = nullptr;
    EXPECT_EQ(rowsByLookup(*TreeNodeCollectionController::build(source)), names({ "A", "D", "F" }));
}

TEST(TreeNodeCollectionControllerTest, RowsOutsideTheTableHaveNoNode)
{
    OutlineSource outline({ { "A", false, { { "A1" }, { "A2" }, { "A3" } } }, { "B" } });
    const auto controller = outline.build();
    EXPECT_EQ(controller->numberOfRows(), 2);
    EXPECT_EQ(controller->treeNodeForIndex(-1), nullptr);
    EXPECT_EQ(controller->treeNodeForIndex(2), nullptr);

    nodeNamed(*controller, "A")->expand();
    EXPECT_EQ(nodeNamed(*controller, "B")->startIndex(), 4);
    EXPECT_EQ(controller->treeNodeForIndex(5), nullptr);
    EXPECT_EQ(nameOf(controller->treeNodeForIndex(4)), "B");

    // The search below a node uses the same rows.
    EXPECT_EQ(nameOf(controller->treeNodeForIndex(2, nodeNamed(*controller, "A"))), "A2");
    EXPECT_EQ(controller->treeNodeForIndex(4, nodeNamed(*controller, "A")), nullptr);
    // A collapsed node shows nothing below it: the row after it is its sibling's.
    nodeNamed(*controller, "A")->collapse();
    EXPECT_EQ(controller->treeNodeForIndex(1, nodeNamed(*controller, "A")), nullptr);

    OutlineSource empty({});
    const auto none = empty.build();
    EXPECT_TRUE(none->root()->children().empty());
    EXPECT_EQ(none->numberOfRows(), 0);
    EXPECT_EQ(none->treeNodeForIndex(0), nullptr);
    EXPECT_EQ(none->indexForItem(std::make_shared<NamedItem>("A")), -1);
}

// An item's row is that of the uppermost visible equal item, below a given node when one is
// given (the row is still the whole tree's); nodes appended after a lookup are found at once.
TEST(TreeNodeCollectionControllerTest, ItemRowIsTheUppermostVisibleEqualOne)
{
    OutlineSource outline({ { "X", true, { { "Dup" }, { "Y", false, { { "Dup" } } } } }, { "Z", true, { { "Dup" } } }, { "W" } });
    const auto controller = outline.build(); // rows: X, Dup, Y, Z, Dup, W
    const auto probe = std::make_shared<NamedItem>("Dup"); // equal to, not one of, the tree's items
    const auto z = nodeNamed(*controller, "Z");
    EXPECT_EQ(controller->indexForItem(probe), 1);
    EXPECT_EQ(controller->indexForItem(probe, z), 4);
    EXPECT_EQ(controller->treeNodeForIndex(4, z)->parent(), z);
    EXPECT_EQ(controller->indexForItem(probe, nodeNamed(*controller, "Y")), -1); // Y is collapsed
    EXPECT_EQ(controller->indexForItem(std::make_shared<NamedItem>("X"), z), -1); // not below Z
    EXPECT_EQ(controller->indexForItem(nullptr), -1);
    nodeNamed(*controller, "X")->collapse(); // rows: X, Z, Dup, W
    EXPECT_EQ(controller->indexForItem(probe), 2);

    const auto x = nodeNamed(*controller, "X");
    x->expand();
    x->addChildNode(TreeNode::create(std::make_shared<NamedItem>("X3"), x, false)); // rows: X, Dup, Y, X3, Z, ...
    controller->root()->addChildNode(TreeNode::create(std::make_shared<NamedItem>("V"), controller->root(), false));
    EXPECT_EQ(controller->indexForItem(std::make_shared<NamedItem>("X3")), 3);
    EXPECT_EQ(controller->indexForItem(std::make_shared<NamedItem>("W")), 6);
    EXPECT_EQ(controller->indexForItem(std::make_shared<NamedItem>("V")), 7);
}

TEST(TreeNodeCollectionControllerTest, MissingChildrenAndNegativeCountsAreSkipped)
{
    const auto a = std::make_shared<NamedItem>("A");
    const auto c = std::make_shared<NamedItem>("C");
    const auto a1 = std::make_shared<NamedItem>("A1");
    int childCallsForC = 0;
    TreeNodeCollectionController::Source source;
    source.numberOfChildren = [&](const std::shared_ptr<TreeItem>& item) -> long {
        if (!item)
            return 3;
        if (item == c)
            return -4;
        return item == a ? 2 : 0;
    };
    source.child = [&](long i, const std::shared_ptr<TreeItem>& item) -> std::shared_ptr<TreeItem> {
        if (item == c)
            ++childCallsForC;
        if (!item)
            return i == 1 ? nullptr : (i == 0 ? a : c);
        return item == a && i == 1 ? a1 : nullptr;
    };
    source.shouldBeExpanded = [](const std::shared_ptr<TreeItem>&, long) { return std::optional<bool>(true); };
    const auto controller = TreeNodeCollectionController::build(source);
    EXPECT_EQ(rowsByLookup(*controller), names({ "A", "A1", "C" }));
    EXPECT_EQ(childCallsForC, 0);
    EXPECT_EQ(controller->treeNodeForIndex(0)->treeNodeInfo()->siblingsNumber(), 2);
    EXPECT_EQ(controller->treeNodeForIndex(1)->treeNodeInfo()->siblingsNumber(), 1);
}

TEST(TreeNodeCollectionControllerTest, DroppingTheControllerFreesTheTree)
{
    OutlineSource outline({ { "A", true, { { "A1", true, { { "A1a" } } } } } });
    auto controller = outline.build();
    std::weak_ptr<TreeNode> watchedNode = nodeNamed(*controller, "A1a");
    std::weak_ptr<TreeNodeInfo> watchedInfo = watchedNode.lock()->treeNodeInfo();
    watchedInfo.lock()->parent()->parent()->children(); // every info made and linked
    std::weak_ptr<TreeNode> watchedRoot = controller->root();
    controller.reset();
    EXPECT_TRUE(watchedNode.expired());
    EXPECT_TRUE(watchedInfo.expired());
    EXPECT_TRUE(watchedRoot.expired());
}
