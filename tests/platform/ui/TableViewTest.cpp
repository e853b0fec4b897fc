#include "platform/ui/TableView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Transaction.h"
#include "platform/ui/Window.h"
#include "tests/support/UiFixture.h"

using namespace ui;

namespace {

// A model of sections of row titles, serving cells by reuse and recording what it is asked.
class Model : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<QStringList> sections;
    std::map<int, double> headerHeights;   // sections with a header view
    std::function<double(const IndexPath&)> heightOf;
    std::function<void(TableViewCell&, const IndexPath&)> configure;
    int cellsMade = 0;
    int cellsAsked = 0;
    QStringList log;
    std::optional<IndexPath> redirect;
    bool refuseHighlight = false;
    QString deleteTitle;

    int numberOfSectionsInTableView(TableView&) override { return static_cast<int>(sections.size()); }
    int numberOfRowsInSection(TableView&, int s) override { return static_cast<int>(sections[s].size()); }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& t, const IndexPath& p) override
    {
        ++cellsAsked;
        auto cell = t.dequeueReusableCellWithIdentifier("Cell");
        if (!cell) {
            ++cellsMade;
            cell = TableViewCell::create(TableViewCellStyle::Default, "Cell");
        }
        cell->textLabel()->setText(sections[p.section][p.row]);
        if (configure)
            configure(*cell, p);
        return cell;
    }
    void commitEditingStyle(TableView& t, TableViewCellEditingStyle style, const IndexPath& p) override
    {
        log << QStringLiteral("commit %1 %2").arg(int(style)).arg(sections[p.section][p.row]);
        if (style != TableViewCellEditingStyle::Delete)
            return;
        sections[p.section].removeAt(p.row);
        t.deleteRowsAtIndexPaths({p}, TableViewRowAnimation::Fade);
    }
    std::optional<double> heightForRowAtIndexPath(TableView&, const IndexPath& p) override
    {
        return heightOf ? std::optional<double>(heightOf(p)) : std::nullopt;
    }
    std::shared_ptr<View> viewForHeaderInSection(TableView&, int s) override
    {
        return headerHeights.count(s) ? Label::create() : nullptr;
    }
    std::optional<double> heightForHeaderInSection(TableView&, int s) override
    {
        return headerHeights.count(s) ? std::optional<double>(headerHeights[s]) : std::nullopt;
    }
    bool shouldHighlightRowAtIndexPath(TableView&, const IndexPath&) override { return !refuseHighlight; }
    std::optional<IndexPath> willSelectRowAtIndexPath(TableView&, const IndexPath& p) override
    {
        log << QStringLiteral("willSelect %1").arg(p.row);
        return redirect ? redirect : std::optional<IndexPath>(p);
    }
    void didSelectRowAtIndexPath(TableView&, const IndexPath& p) override { log << QStringLiteral("didSelect %1").arg(p.row); }
    void didDeselectRowAtIndexPath(TableView&, const IndexPath& p) override { log << QStringLiteral("didDeselect %1").arg(p.row); }
    QString titleForDeleteConfirmationButtonForRowAtIndexPath(TableView& t, const IndexPath& p) override
    {
        return deleteTitle.isEmpty() ? TableViewDelegate::titleForDeleteConfirmationButtonForRowAtIndexPath(t, p) : deleteTitle;
    }
    void willBeginEditingRowAtIndexPath(TableView&, const IndexPath& p) override { log << QStringLiteral("willBeginEditing %1").arg(p.row); }
    void didEndEditingRowAtIndexPath(TableView&, const IndexPath& p) override { log << QStringLiteral("didEndEditing %1").arg(p.row); }
};

QStringList rows(int n, const QString& prefix = "row")
{
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << QStringLiteral("%1 %2").arg(prefix).arg(i);
    return out;
}

class TableViewTest : public UiFixture {
protected:
    void SetUp() override
    {
        UiFixture::SetUp();
        window = Window::create(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        table = TableView::create(Rect(0, 0, 320, 440));
        window->addSubview(table);
    }

    void attach()
    {
        table->setDataSource(model);
        table->setDelegate(model);
        table->reloadData();
    }

    // Runs `updates` inside a transaction; the flag turns true when its completion runs.
    static std::shared_ptr<bool> inTransaction(const std::function<void()>& updates)
    {
        auto ended = std::make_shared<bool>(false);
        Transaction::begin();
        Transaction::setCompletionBlock([ended] { *ended = true; });
        updates();
        Transaction::commit();
        return ended;
    }

    QStringList shownTitles()
    {
        QStringList out;
        for (const auto& cell : table->visibleCells())
            out << cell->textLabel()->text();
        return out;
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<TableView> table;
    std::shared_ptr<Model> model = std::make_shared<Model>();
};

} // namespace

TEST_F(TableViewTest, SectionsStackHeadersRowsAndFooters)
{
    model->sections = {rows(3, "a"), {}, rows(2, "c")};
    model->headerHeights = {{0, 30}, {2, 20}};
    model->heightOf = [](const IndexPath& p) { return p.section == 2 ? 60.0 : 44.0 + p.row; };
    attach();

    const std::pair<IndexPath, Rect> cases[] = {{{0, 0}, Rect(0, 30, 320, 44)},  {{0, 1}, Rect(0, 74, 320, 45)},
                                                 {{0, 2}, Rect(0, 119, 320, 46)}, {{2, 0}, Rect(0, 185, 320, 60)},
                                                 {{2, 1}, Rect(0, 245, 320, 60)}};
    for (const auto& [path, rect] : cases) {
        EXPECT_EQ(table->rectForRowAtIndexPath(path), rect) << path.section << "," << path.row;
        EXPECT_EQ(table->indexPathForRowAtPoint(rect.center()), path);
        // The first and last point of the row belong to it.
        EXPECT_EQ(table->indexPathForRowAtPoint(Point(0, rect.minY())), path);
        EXPECT_EQ(table->indexPathForRowAtPoint(Point(319.9, rect.maxY() - 0.01)), path);
    }
    EXPECT_FALSE(table->indexPathForRowAtPoint(Point(320, 50)));   // just off the right edge
    EXPECT_EQ(table->rectForHeaderInSection(1).height(), 0);   // no view, no answer: none in a plain table
    EXPECT_FALSE(table->indexPathForRowAtPoint(Point(10, 10)));   // on a header
    EXPECT_EQ(table->contentSize(), Size(320, 305));
    EXPECT_EQ(shownTitles(), (QStringList{"a 0", "a 1", "a 2", "c 0", "c 1"}));
}

TEST_F(TableViewTest, OnlyVisibleRowsGetCellsAndScrolledOffCellsAreReused)
{
    model->sections = {rows(5000)};
    attach();
    EXPECT_EQ(table->visibleCells().size(), 10u);   // 440 / 44: the row at 440 is off screen
    EXPECT_EQ(model->cellsMade, 10);

    for (double y = 0; y < 40000; y += 300)
        table->setContentOffset(Point(0, y));
    EXPECT_LE(model->cellsMade, 12);
    EXPECT_GT(model->cellsAsked, 800);
    EXPECT_LE(table->visibleCells().size(), 11u);
    table->setContentOffset(Point(0, 44 * 2500));
    EXPECT_EQ(shownTitles().front(), "row 2500");
}

TEST_F(TableViewTest, InsertedRowsAnimateAndTheEnclosingTransactionLearnsTheEnd)
{
    model->sections = {rows(4)};
    attach();
    auto oldLast = table->cellForRowAtIndexPath({0, 3});
    table->selectRowAtIndexPath(IndexPath(0, 1), false, TableViewScrollPosition::None);

    const auto ended = inTransaction([&] {
        table->beginUpdates();
        model->sections[0].insert(1, "new 1");
        model->sections[0].insert(2, "new 2");
        table->insertRowsAtIndexPaths({{0, 1}, {0, 2}}, TableViewRowAnimation::Top);
        table->endUpdates();
    });

    EXPECT_EQ(shownTitles(), (QStringList{"row 0", "new 1", "new 2", "row 1", "row 2", "row 3"}));
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 5}), oldLast);   // moved, not rebuilt
    EXPECT_EQ(oldLast->frame().y(), 5 * 44);
    EXPECT_FALSE(oldLast->layer()->animationKeys().isEmpty());
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath(0, 3));   // "row 1" stays chosen
    step(0.29);
    EXPECT_FALSE(*ended);
    step(0.02);
    EXPECT_TRUE(*ended);
    EXPECT_EQ(table->contentSize().height, 6 * 44);
}

TEST_F(TableViewTest, DeletedRowsLeaveAfterTheirAnimationAndTheRestMoveUp)
{
    model->sections = {rows(6)};
    attach();
    auto doomed = table->cellForRowAtIndexPath({0, 1});

    const auto ended = inTransaction([&] {
        table->beginUpdates();
        model->sections[0].removeAt(3);
        model->sections[0].removeAt(1);
        table->deleteRowsAtIndexPaths({{0, 1}, {0, 3}}, TableViewRowAnimation::Bottom);
        table->endUpdates();
    });

    EXPECT_EQ(shownTitles(), (QStringList{"row 0", "row 2", "row 4", "row 5"}));
    EXPECT_EQ(doomed->superview(), table);   // still leaving
    EXPECT_FALSE(table->indexPathForCell(doomed.get()));
    step(0.31);
    EXPECT_TRUE(*ended);
    EXPECT_EQ(doomed->superview(), nullptr);
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 3}).y(), 3 * 44);
    const auto first = table->dequeueReusableCellWithIdentifier("Cell");
    const auto second = table->dequeueReusableCellWithIdentifier("Cell");
    EXPECT_TRUE(first == doomed || second == doomed);   // back in the pool
    EXPECT_FALSE(table->dequeueReusableCellWithIdentifier("Cell"));
}

TEST_F(TableViewTest, SelectionAndSelectionCallbacksFromTaps)
{
    model->sections = {rows(5)};
    attach();
    TouchInjector::tap(*table->cellForRowAtIndexPath({0, 1}));
    TouchInjector::tap(*table->cellForRowAtIndexPath({0, 3}));
    EXPECT_EQ(model->log, (QStringList{"willSelect 1", "didSelect 1", "willSelect 3", "didDeselect 1", "didSelect 3"}));
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath(0, 3));
    EXPECT_TRUE(table->cellForRowAtIndexPath({0, 3})->isSelected());
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 1})->isSelected());

    model->log.clear();
    model->redirect = IndexPath(0, 4);
    TouchInjector::tap(*table->cellForRowAtIndexPath({0, 0}));
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath(0, 4));

    model->redirect.reset();
    table->setAllowsMultipleSelection(true);
    TouchInjector::tap(*table->cellForRowAtIndexPath({0, 2}));
    TouchInjector::tap(*table->cellForRowAtIndexPath({0, 4}));
    EXPECT_EQ(table->indexPathsForSelectedRows(), std::vector<IndexPath>{IndexPath(0, 2)});

    model->refuseHighlight = true;
    model->log.clear();
    TouchInjector::tap(*table->cellForRowAtIndexPath({0, 0}));
    EXPECT_TRUE(model->log.isEmpty());

    // A button in a cell keeps its touches; a plain view passes them to the row.
    model->refuseHighlight = false;
    table->setAllowsMultipleSelection(false);
    auto cell = table->cellForRowAtIndexPath({0, 0});
    auto button = Button::create(Rect(0, 0, 100, 40));
    auto plain = View::create(Rect(200, 0, 100, 40));
    cell->contentView()->addSubview(button);
    cell->contentView()->addSubview(plain);
    int clicks = 0;
    button->addTarget(nullptr, [&](const std::shared_ptr<Control>&) { ++clicks; }, ControlEvent::TouchUpInside);
    table->deselectRowAtIndexPath(IndexPath(0, 2), false);
    TouchInjector::tap(*button);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(table->indexPathForSelectedRow());
    TouchInjector::tap(*plain);
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath(0, 0));
}

TEST_F(TableViewTest, EditingDeleteGoesThroughTheConfirmationButton)
{
    model->sections = {rows(4)};
    attach();
    table->setEditing(true);
    auto cell = table->cellForRowAtIndexPath({0, 2});
    ASSERT_TRUE(cell->editingControl());
    EXPECT_FALSE(cell->showingDeleteConfirmation());

    TouchInjector::tap(*cell->editingControl());
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    EXPECT_EQ(cell->deleteConfirmationButton()->currentTitle(), "Delete");
    EXPECT_TRUE(model->log.isEmpty());

    TouchInjector::tap(*cell->deleteConfirmationButton());
    EXPECT_EQ(model->log, QStringList{"commit 1 row 2"});
    EXPECT_EQ(table->numberOfRowsInSection(0), 3);
    step(1);
    EXPECT_EQ(shownTitles(), (QStringList{"row 0", "row 1", "row 3"}));

    table->setEditing(false);
    EXPECT_FALSE(table->cellForRowAtIndexPath({0, 0})->editingControl());

    // Outside editing mode the confirmation is announced, and a touch elsewhere only dismisses it.
    model->log.clear();
    model->deleteTitle = QStringLiteral("删除");
    table->showDeleteConfirmationForRowAtIndexPath({0, 1});
    cell = table->cellForRowAtIndexPath({0, 1});
    ASSERT_TRUE(cell->showingDeleteConfirmation());
    EXPECT_EQ(cell->deleteConfirmationButton()->currentTitle(), QStringLiteral("删除"));
    TouchInjector::tap(*table->cellForRowAtIndexPath({0, 2}));
    EXPECT_FALSE(cell->showingDeleteConfirmation());
    EXPECT_EQ(model->log, (QStringList{"willBeginEditing 1", "didEndEditing 1"}));
    EXPECT_FALSE(table->indexPathForSelectedRow());
}

TEST_F(TableViewTest, ScrollToRowPlacesItAsAsked)
{
    model->sections = {rows(100)};
    attach();
    const std::pair<TableViewScrollPosition, double> cases[] = {{TableViewScrollPosition::Top, 2200},
                                                                {TableViewScrollPosition::Middle, 2002},
                                                                {TableViewScrollPosition::Bottom, 1804}};
    for (const auto& [position, offset] : cases) {
        table->setContentOffset(Point());
        table->scrollToRowAtIndexPath({0, 50}, position, false);
        EXPECT_EQ(table->contentOffset().y, offset);
        EXPECT_TRUE(table->cellForRowAtIndexPath({0, 50}));
    }
    table->scrollToRowAtIndexPath({0, 99}, TableViewScrollPosition::Top, false);
    EXPECT_EQ(table->contentOffset().y, 100 * 44 - 440);   // never past the end
}

TEST_F(TableViewTest, PlainHeadersFloatWhileTheirSectionIsUnderThem)
{
    model->sections = {rows(20), rows(20)};
    model->headerHeights = {{0, 30}, {1, 30}};
    attach();
    table->setContentOffset(Point(0, 200));
    EXPECT_EQ(table->headerViewForSection(0)->frame().y(), 200);
    const double secondTop = table->rectForSection(1).y();
    table->setContentOffset(Point(0, secondTop - 10));
    EXPECT_EQ(table->headerViewForSection(0)->frame().maxY(), secondTop);   // pushed up by the next
    EXPECT_EQ(table->headerViewForSection(1)->frame().y(), secondTop);
}

TEST_F(TableViewTest, DrawsTheScrolledRowsAndTheirSeparators)
{
    model->sections = {rows(50)};
    model->configure = [](TableViewCell& cell, const IndexPath& p) {
        cell.setBackgroundColor(p.row % 2 ? Color::blue() : Color::green());
    };
    attach();
    table->setContentOffset(Point(0, 44 * 7));
    const QImage shot = window->renderImage();
    EXPECT_EQ(Renderer::colorAt(shot, Point(160, 20)), Color::blue());    // row 7
    EXPECT_EQ(Renderer::colorAt(shot, Point(160, 64)), Color::green());   // row 8
    EXPECT_EQ(Renderer::colorAt(shot, Point(160, 43.8)).toQColor().rgb(), Color::fromRGB(0xC8C7CC).toQColor().rgb());
    EXPECT_EQ(Renderer::colorAt(shot, Point(5, 43.8)), Color::blue());    // the inset leaves the edge
}

TEST_F(TableViewTest, ReloadingRowsAndSectionsAsksOnlyForThem)
{
    model->sections = {rows(3), rows(2, "b")};
    std::map<IndexPath, double> heights;
    model->heightOf = [&](const IndexPath& p) { return heights.count(p) ? heights[p] : 44.0; };
    attach();
    table->selectRowAtIndexPath(IndexPath(0, 0), false, TableViewScrollPosition::None);

    model->sections[0][1] = "changed";
    heights[{0, 1}] = 80;
    const int askedBefore = model->cellsAsked;
    table->reloadRowsAtIndexPaths({{0, 1}}, TableViewRowAnimation::None);
    EXPECT_EQ(model->cellsAsked, askedBefore + 1);
    EXPECT_EQ(table->cellForRowAtIndexPath({0, 1})->textLabel()->text(), "changed");
    EXPECT_EQ(table->rectForRowAtIndexPath({1, 0}).y(), 44 + 80 + 44);
    EXPECT_EQ(table->indexPathForSelectedRow(), IndexPath(0, 0));

    model->sections[1] = rows(4, "c");
    table->reloadSections({1}, TableViewRowAnimation::None);
    EXPECT_EQ(table->numberOfRowsInSection(1), 4);
    EXPECT_EQ(shownTitles().mid(3), rows(4, "c"));
    EXPECT_EQ(table->contentSize().height, 44 + 80 + 44 + 4 * 44);

    // Reloading everything forgets the selection.
    model->sections = {rows(2, "b")};
    model->heightOf = nullptr;
    table->setRowHeight(50);
    table->reloadData();
    EXPECT_FALSE(table->indexPathForSelectedRow());
    EXPECT_EQ(shownTitles(), (QStringList{"b 0", "b 1"}));
    EXPECT_EQ(table->rectForRowAtIndexPath({0, 1}), Rect(0, 50, 320, 50));   // the table's row height
}
