#include "components/tree/TreeView.h"

#include "components/tree/TreeNodeInfo.h"
#include "components/tree/TreeViewDataSource.h"
#include "components/tree/TreeViewDelegate.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "support/OutlineSource.h"
#include "tests/support/PixelProbe.h"
#include "tests/support/Screenshot.h"
#include "tests/support/UiFixture.h"

#include <QImage>
#include <algorithm>
#include <functional>
#include <optional>

namespace {

constexpr auto npos = std::string::npos;

// A tree view data source over an outline: cells show the item's name.
class OutlineDataSource : public TreeViewDataSource {
public:
    explicit OutlineDataSource(std::vector<Outline> top) : m_outline(std::move(top)), m_source(m_outline.source()) {}

    long numberOfChildrenOfItem(TreeView&, const std::shared_ptr<TreeItem>& item) override { return m_source.numberOfChildren(item); }
    std::shared_ptr<TreeItem> child(TreeView&, long index, const std::shared_ptr<TreeItem>& item) override
    {
        return m_source.child(index, item);
    }
    std::shared_ptr<ui::TableViewCell> cellForItem(TreeView&, const std::shared_ptr<TreeItem>& item,
                                                   const std::shared_ptr<TreeNodeInfo>&) override
    {
        auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, QStringLiteral("cell"));
        cell->textLabel()->setText(QString::fromStdString(nameOf(item)));
        return cell;
    }

    std::shared_ptr<TreeItem> item(const std::string& name) const { return m_outline.item(name); }

private:
    OutlineSource m_outline;
    TreeNodeCollectionController::Source m_source;
};

// A delegate that implements the methods the tests follow, logs each call as "name(item,+|-)" (the
// info's expanded flag) and answers what the test sets. Rows are 30 high and indented by depth.
class RecordingTreeDelegate : public TreeViewDelegate {
public:
    std::vector<std::string> log;
    std::optional<bool> shouldExpand;
    std::optional<bool> shouldCollapse;
    Item willSelectAnswer;

    std::size_t position(const std::string& entry) const // npos when absent
    {
        const auto it = std::find(log.begin(), log.end(), entry);
        return it == log.end() ? std::string::npos : std::size_t(it - log.begin());
    }

    std::optional<double> heightForRowForItem(TreeView&, const Item& i, const Info& n) override { record("height", i, n); return 30; }
    std::optional<long> indentationLevelForRowForItem(TreeView&, const Item& i, const Info& n) override
    {
        record("indentation", i, n);
        return n->treeDepthLevel();
    }
    void willDisplayCell(TreeView&, const Cell&, const Item& i, const Info& n) override { record("willDisplay", i, n); }
    std::optional<bool> shouldItemBeExpandedAfterDataReload(TreeView&, const Item& i, long) override
    {
        record("expandAfterReload", i, nullptr);
        return false;
    }
    std::optional<bool> shouldExpandRowForItem(TreeView&, const Item& i, const Info& n) override { record("shouldExpand", i, n); return shouldExpand; }
    std::optional<bool> shouldCollapaseRowForItem(TreeView&, const Item& i, const Info& n) override { record("shouldCollapse", i, n); return shouldCollapse; }
    void willExpandRowForItem(TreeView&, const Item& i, const Info& n) override { record("willExpand", i, n); }
    void willCollapseRowForItem(TreeView&, const Item& i, const Info& n) override { record("willCollapse", i, n); }
    void didExpandRowForItem(TreeView&, const Item& i, const Info& n) override { record("didExpand", i, n); }
    void didCollapseRowForItem(TreeView&, const Item& i, const Info& n) override { record("didCollapse", i, n); }
    Item willSelectRowForItem(TreeView&, const Item& i, const Info& n) override { record("willSelect", i, n); return willSelectAnswer; }
    void didSelectRowForItem(TreeView&, const Item& i, const Info& n) override { record("didSelect", i, n); }
    std::optional<QString> titleForDeleteConfirmationButtonForRowForItem(TreeView&, const Item& i, const Info& n) override
    {
        record("deleteTitle", i, n);
        return QStringLiteral("Remove");
    }

private:
    void record(const char* name, const Item& item, const Info& info)
    {
        const std::string itemName = item ? nameOf(item) : "-";
        log.push_back(std::string(name) + "(" + itemName + "," + (info && info->isExpanded() ? "+" : "-") + ")");
    }
};

class TreeViewTest : public UiFixture {
protected:
    std::shared_ptr<ui::Window> window;
    std::shared_ptr<OutlineDataSource> source = std::make_shared<OutlineDataSource>(std::vector<Outline> {
        { "A", false, { { "A1" }, { "A2", false, { { "A2a" } } } } }, { "B", false, { { "B1" } } }, { "C" } });
    std::shared_ptr<RecordingTreeDelegate> delegate = std::make_shared<RecordingTreeDelegate>();
    std::shared_ptr<TreeView> tree;

    void SetUp() override
    {
        UiFixture::SetUp();
        window = ui::Window::create(ui::Rect(0, 0, 320, 480));
        window->setBackgroundColor(ui::Color::white());
        tree = TreeView::create(ui::Rect(0, 0, 320, 480));
        tree->setDataSource(source);
        tree->setDelegate(delegate);
        window->addSubview(tree);
        window->makeKeyAndVisible();
        tree->reloadData();
        settle();
    }
    void TearDown() override
    {
        tree.reset();
        window.reset();
        UiFixture::TearDown();
    }

    // Lays out and lets every animation run to its end.
    void settle()
    {
        window->layoutIfNeeded();
        step(1);
    }
    ui::TableView& table() const { return *std::dynamic_pointer_cast<ui::TableView>(tree->subviews().front()); }
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

    std::string selectedName() const { return nameOf(tree->itemForSelectedRow()); }
};

} // namespace

TEST_F(TreeViewTest, TapExpandsTellingDidWhenTheAnimationEndsAndCollapsesTheSubtree)
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

    step(ui::TableView::kRowAnimationDuration / 2);
    EXPECT_EQ(delegate->position("didExpand(A,+)"), npos);
    const auto displayed = delegate->position("willDisplay(A1,-)");
    EXPECT_NE(displayed, npos);

    step(ui::TableView::kRowAnimationDuration);
    const auto did = delegate->position("didExpand(A,+)");
    ASSERT_NE(did, npos);
    EXPECT_LT(will, did);
    EXPECT_LT(displayed, did);
    EXPECT_EQ(selectedName(), "A");

    // Collapsed, the whole subtree closes; opened again, only the direct children come back.
    tap("A2");
    settle();
    ASSERT_EQ(shownRows(), names({ "A", "A1", "A2", "A2a", "B", "C" }));
    const QImage image = window->renderImage();   // for people: three levels, partly expanded
    EXPECT_GT(pixels::distinctColours(image, image.rect()), 2) << "the rows drew nothing";
    EXPECT_TRUE(screenshot::save(image, QStringLiteral("tree-partly-expanded")));
    delegate->log.clear();
    tap("A");
    EXPECT_EQ(shownRows(), names({ "A", "B", "C" }));
    EXPECT_LT(delegate->position("didSelect(A,+)"), delegate->position("shouldCollapse(A,+)"));
    EXPECT_LT(delegate->position("shouldCollapse(A,+)"), delegate->position("willCollapse(A,+)"));
    EXPECT_EQ(delegate->position("didCollapse(A,-)"), npos);
    settle();
    EXPECT_NE(delegate->position("didCollapse(A,-)"), npos);
    tap("A");
    EXPECT_EQ(shownRows(), names({ "A", "A1", "A2", "B", "C" }));
    settle();   // the row animation holds the view until it ends
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

    // A reload keeps only what the delegate says stays expanded.
    delegate->log.clear();
    tree->reloadData();
    settle();
    EXPECT_EQ(shownRows(), names({ "A", "B", "C" }));
    EXPECT_NE(delegate->position("expandAfterReload(A2a,-)"), npos);
}

TEST_F(TreeViewTest, OperationsByItemActOnlyOnVisibleRowsAndTellNobody)
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

    // Every operation by item ignores items on no visible row.
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

// With a delegate that implements nothing, none at all, or asked about a row without a node,
// the table gets the tree view's own answers and the delegate hears nothing; and a tap, with
// nobody to ask, expands and selects.
TEST_F(TreeViewTest, DefaultsWhenTheDelegateImplementsNothing)
{
    auto& t = table();
    auto& d = *t.delegate();
    auto path = ui::IndexPath::forRow(1, 0);
    ui::Point target(0, 40);
    const std::pair<const char*, std::function<bool()>> defaults[] = {
        { "height", [&] { return d.heightForRowAtIndexPath(t, path) == t.rowHeight(); } },
        { "estimate", [&] { return d.estimatedHeightForRowAtIndexPath(t, path) == ui::TableView::automaticDimension; } },
        { "indentation", [&] { return d.indentationLevelForRowAtIndexPath(t, path) == 0; } },
        { "editing style", [&] { return d.editingStyleForRowAtIndexPath(t, path) == ui::TableViewCellEditingStyle::Delete; } },
        { "delete title", [&] { return d.titleForDeleteConfirmationButtonForRowAtIndexPath(t, path) == "Delete"; } },
        { "indent while editing", [&] { return d.shouldIndentWhileEditingRowAtIndexPath(t, path); } },
        { "menu", [&] { return !d.shouldShowMenuForRowAtIndexPath(t, path); } },
        { "action", [&] { return !d.canPerformAction(t, QStringLiteral("copy:"), path, nullptr); } },
        { "highlight", [&] { return d.shouldHighlightRowAtIndexPath(t, path); } },
        { "will select", [&] { return d.willSelectRowAtIndexPath(t, path) == path; } },
        { "will deselect", [&] { return d.willDeselectRowAtIndexPath(t, path) == path; } },
        { "can edit", [&] { return t.dataSource()->canEditRowAtIndexPath(t, path); } },
        { "scroll to top", [&] { return d.scrollViewShouldScrollToTop(t); } },
        { "zooming view", [&] { return d.viewForZoomingInScrollView(t) == nullptr; } },
        { "end dragging", [&] { d.scrollViewWillEndDragging(t, ui::Point(0, 1), target); return target == ui::Point(0, 40); } },
        { "select", [&] { d.didSelectRowAtIndexPath(t, path); return true; } },
        { "display", [&] { d.willDisplayCell(t, ui::TableViewCell::create(), path); return true; } },
        { "cell", [&] { return t.dataSource()->cellForRowAtIndexPath(t, path) != nullptr; } },
    };
    delegate->log.clear();
    const std::pair<std::shared_ptr<TreeViewDelegate>, int> cases[] = {
        { std::make_shared<TreeViewDelegate>(), 1 }, { nullptr, 1 }, { delegate, 99 } };
    for (const auto& [current, row] : cases) {
        tree->setDelegate(current);
        path = ui::IndexPath::forRow(row, 0);
        for (const auto& [name, holds] : defaults)
            EXPECT_TRUE(holds()) << name << " row " << row << (current ? " (delegate)" : " (none)");
    }
    EXPECT_TRUE(delegate->log.empty());
    // The same questions about a real row reach the delegate.
    EXPECT_EQ(d.heightForRowAtIndexPath(t, ui::IndexPath::forRow(0, 0)), 30);
    EXPECT_EQ(d.titleForDeleteConfirmationButtonForRowAtIndexPath(t, ui::IndexPath::forRow(0, 0)), QStringLiteral("Remove"));

    tree->setDelegate(std::make_shared<TreeViewDelegate>());
    tap("B");
    settle();
    EXPECT_EQ(shownRows(), names({ "A", "B", "B1", "C" }));
    EXPECT_EQ(selectedName(), "B");
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
