// A table of many rows: reloading it, scrolling it a step at a time and inserting one row.
// Only the rows on screen have cells, so a reload costs the height sums, not the cells.
#include "platform/core/ManualClock.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/IndexPath.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

using namespace ui;

namespace {

const QString kCellId = QStringLiteral("row");

// Rows of two heights, so the table cannot treat them as uniform.
class Rows : public TableViewDataSource, public TableViewDelegate {
public:
    explicit Rows(int count) : m_count(count) {}

    int count() const { return m_count; }
    void addOne() { ++m_count; }

    int numberOfRowsInSection(TableView&, int) override { return m_count; }
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& table, const IndexPath& indexPath) override
    {
        auto cell = table.dequeueReusableCellWithIdentifier(kCellId);
        if (!cell)
            cell = TableViewCell::create(TableViewCellStyle::Default, kCellId);
        cell->textLabel()->setText(QStringLiteral("Row %1").arg(indexPath.row));
        return cell;
    }
    std::optional<double> heightForRowAtIndexPath(TableView&, const IndexPath& indexPath) override
    {
        return indexPath.row % 5 == 0 ? 60 : 44;
    }

private:
    int m_count;
};

struct Table {
    explicit Table(int rows)
        : rows(std::make_shared<Rows>(rows))
        , table(TableView::create(Rect(0, 0, 375, 667)))
    {
        table->setDataSource(this->rows);
        table->setDelegate(this->rows);
        table->reloadData();
        table->layoutIfNeeded();
    }
    ~Table() { core::RunLoop::main().reset(); }

    core::ManualClock clock;
    std::shared_ptr<Rows> rows;
    std::shared_ptr<TableView> table;
};

void BM_TableReload(benchmark::State& state)
{
    Table t(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        t.table->reloadData();
        t.table->layoutIfNeeded();
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
}
BENCHMARK(BM_TableReload)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond);

// One frame of a drag: the offset moves 7 points and the rows that come into view get cells.
void BM_TableScrollStep(benchmark::State& state)
{
    Table t(static_cast<int>(state.range(0)));
    const double bottom = t.table->contentSize().height - t.table->bounds().height();
    double y = 0;
    for (auto _ : state) {
        y = y + 7 > bottom ? 0 : y + 7;
        t.table->setContentOffset(Point(0, y));
        t.table->layoutIfNeeded();
    }
}
BENCHMARK(BM_TableScrollStep)->Arg(100'000)->Unit(benchmark::kMicrosecond);

// One row inserted near the top without animation, and the turn that completes it.
void BM_TableInsertRow(benchmark::State& state)
{
    Table t(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        t.rows->addOne();
        t.table->insertRowsAtIndexPaths({IndexPath{0, 3}}, TableViewRowAnimation::None);
        t.table->layoutIfNeeded();
        t.clock.advance(0);
    }
}
BENCHMARK(BM_TableInsertRow)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
