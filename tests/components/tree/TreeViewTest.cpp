#include "components/tree/TreeView.h"

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNodeInfo.h"
#include "components/tree/TreeViewDelegate.h"
#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/Label.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "support/OutlineDataSource.h"
#include "support/RecordingTreeDelegate.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

constexpr auto npos = std::string::npos;

std::vector<Outline> sample()
{
    return {
        { "A", false, { { "A1" }, { "A2", false, { { "A2a" } } } } },
        { "B", false, { { "B1" } } },
        { "C" },
    };
}

class TreeViewTest : public ::testing::Test {
protected:
    core::ManualClock clock;
    std::shared_ptr<ui::Window> window = ui::Window::create(ui::Rect(0, 0, 320, 480));
    std::shared_ptr<OutlineDataSource> source = std::make_shared<OutlineDataSource>(sample());
    std::shared_ptr<RecordingTreeDelegate> delegate = std::make_shared<RecordingTreeDelegate>();
    std::shared_ptr<TreeView> tree = TreeView::create(ui::Rect(0, 0, 320, 480));

    void SetUp() override
    {
        tree->setDataSource(source);
        tree->setDelegate(delegate);
        window->addSubview(tree);
        window->makeKeyAndVisible();
        tree->reloadData();
        settle();
    }
    void TearDown() override { core::RunLoop::main().reset(); }

    // Lays out and lets every animation run to its end.
    void settle()
    {
        window->layoutIfNeeded();
        clock.advance(1);
    }
    ui::TableView& table() const { return *std::dynamic_pointer_cast<ui::TableView>(tree->subviews().front()); }
    ui::TableViewDelegate& tableDelegate() const { return *table().delegate(); }
    std::shared_ptr<TreeItem> item(const char* name) const { return source->item(name); }

    void tap(const char* name)
    {
        window->layoutIfNeeded();
        const auto cell = tree->cellForItem(item(name));
        ASSERT_TRUE(cell) << name << " has no cell on screen";
        ASSERT_TRUE(ui::TouchInjector::tap(*cell));
    }

    // The rows as the table sees them: its count, and the cell made for each row.
    std::vector<std::string> shownRows() const
    {
        auto& t = table();
        std::vector<std::string> rows;
        for (int row = 0; row < t.numberOfRowsInSection(0); ++row) {
            const auto cell = t.dataSource()->cellForRowAtIndexPath(t, ui::IndexPath::forRow(row, 0));
            rows.push_back(cell->textLabel()->text().toStdString());
        }
        return rows;
    }

    std::string selectedName() const
    {
        const auto selected = tree->itemForSelectedRow();
        return selected ? static_cast<const NamedItem&>(*selected).name() : "-";
    }
};

} // namespace

TEST(TreeViewMapsTest, EnumerationsMapToTheTablesValues)
{
    using A = TreeViewRowAnimation;
    using T = ui::TableViewRowAnimation;
    const std::pair<int, T> animations[] = { { 0, T::None }, { 1, T::Right }, { 2, T::Left }, { 3, T::Top },
        { 4, T::Bottom }, { 5, T::Middle }, { 6, T::Automatic }, { 9, T::None }, { -1, T::None } };
    for (const auto& [value, expected] : animations)
        EXPECT_EQ(TreeView::tableViewRowAnimationForTreeViewRowAnimation(A(value)), expected) << value;

    using S = ui::TableViewCellSeparatorStyle;
    const std::pair<int, S> separators[] = { { 0, S::None }, { 1, S::SingleLine }, { 2, S::SingleLineEtched }, { 7, S::None } };
    for (const auto& [value, expected] : separators) {
        EXPECT_EQ(TreeView::tableViewCellSeparatorStyleForTreeViewCellSeparatorStyle(TreeViewCellSeparatorStyle(value)), expected);
        if (value < 3) {
            EXPECT_EQ(int(TreeView::treeViewCellSeparatorStyleForTableViewSeparatorStyle(expected)), value);
        }
    }

    EXPECT_EQ(TreeView::tableViewStyleForTreeViewStyle(TreeViewStyle::Grouped), ui::TableViewStyle::Grouped);
    EXPECT_EQ(TreeView::treeViewStyleForTableViewStyle(ui::TableViewStyle::Plain), TreeViewStyle::Plain);

    using P = ui::TableViewScrollPosition;
    const std::pair<int, P> positions[] = { { 0, P::None }, { 1, P::Top }, { 2, P::Middle }, { 3, P::Bottom }, { 4, P::None } };
    for (const auto& [value, expected] : positions)
        EXPECT_EQ(TreeView::tableViewScrollPositionForTreeViewScrollPosition(TreeViewScrollPosition(value)), expected);
}

TEST_F(TreeViewTest, MadeWithATableFillingIt)
{
    EXPECT_EQ(table().frame(), ui::Rect(0, 0, 320, 480));
    EXPECT_EQ(table().autoresizingMask(), 18u);
    EXPECT_EQ(table().backgroundColor(), ui::Color::clear());
    EXPECT_EQ(tree->rowsExpandingAnimation(), TreeViewRowAnimation::Top);
    EXPECT_EQ(tree->rowsCollapsingAnimation(), TreeViewRowAnimation::Bottom);
    EXPECT_EQ(tree->style(), TreeViewStyle::Plain);

    const auto plain = TreeView::create();
    EXPECT_EQ(plain->frame(), ui::Rect(0, 0, 100, 100));
    EXPECT_EQ(plain->subviews().front()->frame(), ui::Rect(0, 0, 100, 100));

    tree->setSeparatorStyle(TreeViewCellSeparatorStyle(7));
    EXPECT_EQ(table().separatorStyle(), ui::TableViewCellSeparatorStyle::None);
    table().setSeparatorStyle(ui::TableViewCellSeparatorStyle::SingleLineEtched);
    EXPECT_EQ(int(tree->separatorStyle()), 2);
}

TEST_F(TreeViewTest, TapExpandsAndTellsDidOnlyWhenTheAnimationHasEnded)
{
    ASSERT_EQ(shownRows(), names({ "A", "B", "C" }));
    delegate->log.clear();
    tap("A");
    EXPECT_EQ(shownRows(), names({ "A", "A1", "A2", "B", "C" }));
    const auto select = delegate->position("didSelect(A,-)");
    const auto should = delegate->position("shouldExpand(A,-)");
    const auto will = delegate->position("willExpand(A,-)");
    ASSERT_NE(select, npos);
    EXPECT_LT(select, should);
    EXPECT_LT(should, will);
    EXPECT_EQ(delegate->position("didExpand(A,+)"), npos);

    clock.advance(ui::TableView::kRowAnimationDuration / 2);
    EXPECT_EQ(delegate->position("didExpand(A,+)"), npos);
    const auto displayed = delegate->position("willDisplay(A1,-)");
    EXPECT_NE(displayed, npos);

    clock.advance(ui::TableView::kRowAnimationDuration);
    const auto did = delegate->position("didExpand(A,+)");
    ASSERT_NE(did, npos);
    EXPECT_LT(will, did);
    EXPECT_LT(displayed, did);
    EXPECT_EQ(selectedName(), "A");
}

TEST_F(TreeViewTest, TapCollapsesTheWholeSubtree)
{
    tap("A");
    settle();
    tap("A2");
    settle();
    ASSERT_EQ(shownRows(), names({ "A", "A1", "A2", "A2a", "B", "C" }));
    delegate->log.clear();
    tap("A");
    EXPECT_EQ(shownRows(), names({ "A", "B", "C" }));
    EXPECT_LT(delegate->position("didSelect(A,+)"), delegate->position("shouldCollapse(A,+)"));
    EXPECT_LT(delegate->position("shouldCollapse(A,+)"), delegate->position("willCollapse(A,+)"));
    EXPECT_EQ(delegate->position("didCollapse(A,-)"), npos);
    settle();
    EXPECT_NE(delegate->position("didCollapse(A,-)"), npos);

    // Opened again, only the direct children come back.
    tap("A");
    EXPECT_EQ(shownRows(), names({ "A", "A1", "A2", "B", "C" }));
    settle();   // the row animation holds the view until it ends
}

TEST_F(TreeViewTest, DelegateWithOnlyWillExpandHearsOnlyThat)
{
    struct OnlyWillExpand : TreeViewDelegate {
        std::vector<std::string> calls;
        void willExpandRowForItem(TreeView&, const Item& item, const Info& info) override
        {
            calls.push_back(static_cast<const NamedItem&>(*item).name() + (info->isExpanded() ? "+" : "-"));
        }
    };
    const auto only = std::make_shared<OnlyWillExpand>();
    tree->setDelegate(only);
    tap("A");
    settle();
    EXPECT_EQ(only->calls, names({ "A-" }));
    EXPECT_EQ(shownRows(), names({ "A", "A1", "A2", "B", "C" }));
}

TEST_F(TreeViewTest, RefusedCollapseAndLeafTapsChangeNothing)
{
    tap("A");
    settle();
    delegate->shouldCollapse = false;
    delegate->log.clear();
    tap("A");
    settle();
    EXPECT_NE(delegate->position("shouldCollapse(A,+)"), npos);
    EXPECT_EQ(delegate->position("willCollapse(A,+)"), npos);
    EXPECT_EQ(shownRows(), names({ "A", "A1", "A2", "B", "C" }));

    delegate->log.clear();
    tap("C");
    settle();
    EXPECT_NE(delegate->position("didSelect(C,-)"), npos);
    for (const auto& entry : delegate->log)
        EXPECT_TRUE(entry.find("xpand") == npos && entry.find("ollapse") == npos) << entry;
    EXPECT_EQ(selectedName(), "C");
}

TEST_F(TreeViewTest, ByItemExpandsOnlyCollapsedVisibleRowsAndTellsNobody)
{
    delegate->log.clear();
    tree->expandRowForItem(item("B1")); // inside collapsed B
    tree->collapseRowForItem(item("A2a"));
    tree->expandRowForItem(std::make_shared<NamedItem>("Z"));
    EXPECT_EQ(shownRows(), names({ "A", "B", "C" }));

    tree->expandRowForItem(std::make_shared<NamedItem>("A")); // found by equality
    tree->expandRowForItem(item("A"), TreeViewRowAnimation::Middle);
    EXPECT_EQ(shownRows(), names({ "A", "A1", "A2", "B", "C" }));
    tree->collapseRowForItem(item("A"));
    settle();
    EXPECT_EQ(shownRows(), names({ "A", "B", "C" }));
    for (const auto& entry : delegate->log)
        EXPECT_TRUE(entry.find("xpand") == npos && entry.find("ollapse") == npos) << entry;
}

TEST_F(TreeViewTest, ReloadKeepsOnlyTheExpandedAfterReloadAnswers)
{
    tap("A");
    settle();
    delegate->log.clear();
    tree->reloadData();
    settle();
    EXPECT_EQ(shownRows(), names({ "A", "B", "C" }));
    EXPECT_NE(delegate->position("expandAfterReload(A2a,-)"), npos);
    EXPECT_EQ(tree->numberOfRows(), 3);
}

TEST_F(TreeViewTest, DefaultsWhenTheDelegateImplementsNothing)
{
    const auto nothing = std::make_shared<TreeViewDelegate>();
    for (const auto& current : { nothing, std::shared_ptr<TreeViewDelegate>() }) {
        tree->setDelegate(current);
        auto& t = table();
        auto& d = tableDelegate();
        const auto path = ui::IndexPath::forRow(1, 0);
        EXPECT_EQ(d.heightForRowAtIndexPath(t, path), t.rowHeight());
        EXPECT_EQ(d.estimatedHeightForRowAtIndexPath(t, path), ui::TableView::automaticDimension);
        EXPECT_EQ(d.indentationLevelForRowAtIndexPath(t, path), 0);
        EXPECT_EQ(d.editingStyleForRowAtIndexPath(t, path), ui::TableViewCellEditingStyle::Delete);
        EXPECT_EQ(d.titleForDeleteConfirmationButtonForRowAtIndexPath(t, path), QStringLiteral("Delete"));
        EXPECT_TRUE(d.shouldIndentWhileEditingRowAtIndexPath(t, path));
        EXPECT_FALSE(d.shouldShowMenuForRowAtIndexPath(t, path));
        EXPECT_FALSE(d.canPerformAction(t, QStringLiteral("copy:"), path, nullptr));
        EXPECT_TRUE(d.shouldHighlightRowAtIndexPath(t, path));
        EXPECT_EQ(d.willSelectRowAtIndexPath(t, path), path);
        EXPECT_EQ(d.willDeselectRowAtIndexPath(t, path), path);
        EXPECT_TRUE(t.dataSource()->canEditRowAtIndexPath(t, path));
        EXPECT_TRUE(d.scrollViewShouldScrollToTop(t));
        EXPECT_EQ(d.viewForZoomingInScrollView(t), nullptr);
        ui::Point target(0, 40);
        d.scrollViewWillEndDragging(t, ui::Point(0, 1), target);
        EXPECT_EQ(target, ui::Point(0, 40));

        // Notices with nobody listening must simply pass.
        const auto cell = ui::TableViewCell::create();
        d.willDisplayCell(t, cell, path);
        d.didEndDisplayingCell(t, cell, path);
        d.accessoryButtonTappedForRowWithIndexPath(t, path);
        d.didHighlightRowAtIndexPath(t, path);
        d.didUnhighlightRowAtIndexPath(t, path);
        d.didDeselectRowAtIndexPath(t, path);
        d.willBeginEditingRowAtIndexPath(t, path);
        d.didEndEditingRowAtIndexPath(t, path);
        d.performAction(t, QStringLiteral("copy:"), path, nullptr);
        t.dataSource()->commitEditingStyle(t, ui::TableViewCellEditingStyle::Delete, path);
        d.scrollViewDidScroll(t);
        d.scrollViewDidZoom(t);
        d.scrollViewDidEndScrollingAnimation(t);
        EXPECT_EQ(shownRows(), names({ "A", "B", "C" }));
    }

    // A tap with nobody to ask expands and selects.
    tree->setDelegate(nothing);
    tap("B");
    settle();
    EXPECT_EQ(shownRows(), names({ "A", "B", "B1", "C" }));
    EXPECT_EQ(selectedName(), "B");
}

// A method left to its default is not worth a row lookup: once the tree view has met the
// default, it answers at once, so a row's info is refreshed only by the calls that use it.
TEST_F(TreeViewTest, UnansweredCallbacksLookNothingUp)
{
    struct AccessoryOnly : TreeViewDelegate {
        Info seen;
        void accessoryButtonTappedForRowForItem(TreeView&, const Item&, const Info& info) override { seen = info; }
    };
    const auto only = std::make_shared<AccessoryOnly>();
    tree->setDelegate(only);
    auto& t = table();
    auto& d = tableDelegate();
    const auto rowA = ui::IndexPath::forRow(0, 0);
    const auto askEverythingElse = [&] {
        EXPECT_EQ(d.heightForRowAtIndexPath(t, rowA), t.rowHeight());
        EXPECT_EQ(d.indentationLevelForRowAtIndexPath(t, rowA), 0);
        EXPECT_EQ(d.titleForDeleteConfirmationButtonForRowAtIndexPath(t, rowA), QStringLiteral("Delete"));
        EXPECT_TRUE(d.shouldHighlightRowAtIndexPath(t, rowA));
        EXPECT_EQ(d.willSelectRowAtIndexPath(t, rowA), rowA);
        EXPECT_TRUE(t.dataSource()->canEditRowAtIndexPath(t, rowA));
        d.willDisplayCell(t, ui::TableViewCell::create(), rowA);
        d.didHighlightRowAtIndexPath(t, rowA);
        t.dataSource()->commitEditingStyle(t, ui::TableViewCellEditingStyle::Delete, rowA);
    };
    askEverythingElse();
    d.accessoryButtonTappedForRowWithIndexPath(t, rowA);
    ASSERT_TRUE(only->seen);
    ASSERT_FALSE(only->seen->isExpanded());

    tree->expandRowForItem(item("A"));
    settle();
    askEverythingElse();
    EXPECT_FALSE(only->seen->isExpanded());
    d.accessoryButtonTappedForRowWithIndexPath(t, rowA);
    EXPECT_TRUE(only->seen->isExpanded());
}

TEST_F(TreeViewTest, ARowWithoutANodeAnswersTheDefaults)
{
    auto& t = table();
    auto& d = tableDelegate();
    const auto missing = ui::IndexPath::forRow(99, 0);
    delegate->log.clear();
    EXPECT_EQ(d.heightForRowAtIndexPath(t, missing), t.rowHeight());
    EXPECT_EQ(d.indentationLevelForRowAtIndexPath(t, missing), 0);
    EXPECT_EQ(d.titleForDeleteConfirmationButtonForRowAtIndexPath(t, missing), QStringLiteral("Delete"));
    EXPECT_EQ(d.willSelectRowAtIndexPath(t, missing), missing);
    d.didSelectRowAtIndexPath(t, missing);
    d.willDisplayCell(t, ui::TableViewCell::create(), missing);
    EXPECT_TRUE(t.dataSource()->cellForRowAtIndexPath(t, missing));
    EXPECT_TRUE(delegate->log.empty());

    // The same questions about a real row reach the delegate.
    EXPECT_EQ(d.heightForRowAtIndexPath(t, ui::IndexPath::forRow(0, 0)), 30);
    EXPECT_EQ(d.titleForDeleteConfirmationButtonForRowAtIndexPath(t, ui::IndexPath::forRow(0, 0)), QStringLiteral("Remove"));
}

TEST_F(TreeViewTest, OperationsByItemIgnoreItemsOnNoVisibleRow)
{
    for (const auto& absent : { item("A2a"), std::shared_ptr<TreeItem>(std::make_shared<NamedItem>("Z")), std::shared_ptr<TreeItem>() }) {
        EXPECT_EQ(tree->cellForItem(absent), nullptr);
        tree->selectRowForItem(absent, false, TreeViewScrollPosition::Top);
        tree->scrollToRowForItem(absent, TreeViewScrollPosition::Bottom, false);
        tree->deselectRowForItem(absent, false);
        tree->reloadRowsForItems({ absent }, TreeViewRowAnimation::None);
        settle();
        EXPECT_EQ(tree->itemForSelectedRow(), nullptr);
        EXPECT_EQ(tree->contentOffset(), ui::Point(0, 0));
    }

    tree->selectRowForItem(item("B"), false, TreeViewScrollPosition::None);
    EXPECT_EQ(selectedName(), "B");
    EXPECT_EQ(tree->itemsForSelectedRows().size(), 1u);
    tree->reloadRowsForItems({ item("A2a"), item("C") }, TreeViewRowAnimation::Automatic);
    settle();
    tree->deselectRowForItem(item("B"), false);
    EXPECT_EQ(tree->itemForSelectedRow(), nullptr);
    EXPECT_TRUE(tree->cellForItem(item("C")));
}

TEST_F(TreeViewTest, WillSelectCanMoveButNotCancelTheSelection)
{
    struct Case { const char* answer; const char* selected; };
    const Case cases[] = { { "B", "B" }, { nullptr, "C" }, { "A1", "C" } };
    for (const auto& c : cases) {
        tree->reloadData();
        settle();
        delegate->willSelectAnswer = c.answer ? item(c.answer) : nullptr;
        tap("C");
        settle();
        EXPECT_EQ(selectedName(), c.selected) << (c.answer ? c.answer : "none");
    }
}

TEST_F(TreeViewTest, ScrollPassThroughUsesTheInnerTable)
{
    struct Scrolls : TreeViewDelegate {
        std::vector<const ui::ScrollView*> scrolled;
        void scrollViewDidScroll(ui::ScrollView& scrollView) override { scrolled.push_back(&scrollView); }
    };
    const auto scrolls = std::make_shared<Scrolls>();
    tree->setDelegate(scrolls);
    tree->setContentOffset(ui::Point(0, 5));
    ASSERT_FALSE(scrolls->scrolled.empty());
    EXPECT_EQ(scrolls->scrolled.back(), &table());

    tree->setDecelerationRate(ui::ScrollView::kDecelerationRateNormal);
    EXPECT_EQ(tree->decelerationRate(), ui::ScrollView::kDecelerationRateNormal);
    EXPECT_EQ(tree->panGestureRecognizer(), table().panGestureRecognizer());
    EXPECT_EQ(tree->pinchGestureRecognizer(), table().pinchGestureRecognizer());
    tree->setRowHeight(52);
    EXPECT_EQ(table().rowHeight(), 52);
}
