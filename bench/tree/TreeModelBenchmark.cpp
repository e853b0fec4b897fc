// Costs of the tree model at 1,000, 10,000 and 100,000 leaves (10 x 10 x N): building,
// expanding every node, collapsing every node, and mapping every row to its item and
// back. Each figure should grow about tenfold per tenfold of leaves; a row walk per
// lookup or per expansion would show a hundredfold.
#include "components/tree/TreeItem.h"
#include "components/tree/TreeNode.h"
#include "components/tree/TreeNodeCollectionController.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

class NumberedItem : public TreeItem {
public:
    explicit NumberedItem(long number) : m_number(number) { }
    bool isEqual(const TreeItem& other) const override
    {
        const auto* numbered = dynamic_cast<const NumberedItem*>(&other);
        return numbered && numbered->m_number == m_number;
    }
    std::size_t hash() const override { return std::hash<long> {}(m_number); }

private:
    long m_number;
};

// 10 top-level items, 10 children each, `leaves` grandchildren under each child.
struct Shape {
    explicit Shape(long leavesPerChild)
    {
        long number = 0;
        for (int i = 0; i < 10; ++i) {
            top.push_back(std::make_shared<NumberedItem>(number++));
            for (int j = 0; j < 10; ++j) {
                const auto child = std::make_shared<NumberedItem>(number++);
                children[top.back().get()].push_back(child);
                for (long k = 0; k < leavesPerChild; ++k)
                    children[child.get()].push_back(std::make_shared<NumberedItem>(number++));
            }
        }
    }

    TreeNodeCollectionController::Source source() const
    {
        TreeNodeCollectionController::Source source;
        source.numberOfChildren = [this](const TreeItemPtr& item) { return long(list(item).size()); };
        source.child = [this](long index, const TreeItemPtr& item) { return list(item)[std::size_t(index)]; };
        return source;
    }

    const std::vector<TreeItemPtr>& list(const TreeItemPtr& item) const
    {
        static const std::vector<TreeItemPtr> none;
        if (!item)
            return top;
        const auto it = children.find(item.get());
        return it == children.end() ? none : it->second;
    }

    std::vector<TreeItemPtr> top;
    std::unordered_map<const TreeItem*, std::vector<TreeItemPtr>> children;
};

// What the view does per expansion: flip the flags, then list the rows to insert.
long expandAll(const TreeNodeCollectionController& controller)
{
    long inserted = 0;
    for (const auto& node : controller.root()->descendants()) {
        if (node->children().empty() || node->isExpanded())
            continue;
        node->expand();
        for (long row = node->startIndex() + 1; row <= node->endIndex(); ++row)
            ++inserted;
    }
    return inserted;
}

long collapseAll(const TreeNodeCollectionController& controller)
{
    long deleted = 0;
    for (const auto& node : controller.root()->children()) {
        for (long row = node->startIndex() + 1; row <= node->endIndex(); ++row)
            ++deleted;
        node->collapse();
    }
    return deleted;
}

void setCounters(benchmark::State& state, long items)
{
    state.SetComplexityN(items);
    state.SetItemsProcessed(state.iterations() * items);
}

void BM_Build(benchmark::State& state)
{
    const Shape shape(state.range(0));
    const auto source = shape.source();
    for (auto _ : state)
        benchmark::DoNotOptimize(TreeNodeCollectionController::build(source));
    setCounters(state, state.range(0) * 100);
}

void BM_ExpandAll(benchmark::State& state)
{
    const Shape shape(state.range(0));
    const auto controller = TreeNodeCollectionController::build(shape.source());
    for (auto _ : state) {
        benchmark::DoNotOptimize(expandAll(*controller));
        state.PauseTiming();
        collapseAll(*controller);
        state.ResumeTiming();
    }
    setCounters(state, state.range(0) * 100);
}

void BM_CollapseAll(benchmark::State& state)
{
    const Shape shape(state.range(0));
    const auto controller = TreeNodeCollectionController::build(shape.source());
    for (auto _ : state) {
        state.PauseTiming();
        expandAll(*controller);
        state.ResumeTiming();
        benchmark::DoNotOptimize(collapseAll(*controller));
    }
    setCounters(state, state.range(0) * 100);
}

void BM_RowToItemAndBack(benchmark::State& state)
{
    const Shape shape(state.range(0));
    const auto controller = TreeNodeCollectionController::build(shape.source());
    expandAll(*controller);
    const long rows = controller->numberOfRows();
    for (auto _ : state) {
        long mismatches = 0;
        for (long row = 0; row < rows; ++row) {
            const auto node = controller->treeNodeForIndex(row);
            mismatches += controller->indexForItem(node->item()) != row;
        }
        if (mismatches != 0)
            state.SkipWithError("a row did not map back to itself");
    }
    setCounters(state, state.range(0) * 100);
}

// In a fully expanded tree: one lookup of the last row and back should barely move as the
// tree grows; one collapse and expand of a chapter should follow the chapter's own rows
// (N leaves), not the size of the tree.
void BM_OneLastRowLookup(benchmark::State& state)
{
    const Shape shape(state.range(0));
    const auto controller = TreeNodeCollectionController::build(shape.source());
    expandAll(*controller);
    const long last = controller->numberOfRows() - 1;
    for (auto _ : state)
        benchmark::DoNotOptimize(controller->indexForItem(controller->treeNodeForIndex(last)->item()));
    state.SetComplexityN(state.range(0) * 100);
}

void BM_OneChapterCollapseAndExpand(benchmark::State& state)
{
    const Shape shape(state.range(0));
    const auto controller = TreeNodeCollectionController::build(shape.source());
    expandAll(*controller);
    const auto chapter = controller->root()->children()[5]->children()[5];
    for (auto _ : state) {
        long rows = 0;
        for (long row = chapter->startIndex() + 1; row <= chapter->endIndex(); ++row)
            ++rows;
        chapter->collapse();
        chapter->expand();
        for (long row = chapter->startIndex() + 1; row <= chapter->endIndex(); ++row)
            ++rows;
        benchmark::DoNotOptimize(rows);
    }
    state.SetComplexityN(state.range(0) * 100);
}

} // namespace

BENCHMARK(BM_OneLastRowLookup)->Arg(10)->Arg(100)->Arg(1000)->Complexity();
BENCHMARK(BM_OneChapterCollapseAndExpand)->Arg(10)->Arg(100)->Arg(1000)->Complexity();
BENCHMARK(BM_Build)->Arg(10)->Arg(100)->Arg(1000)->Complexity()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExpandAll)->Arg(10)->Arg(100)->Arg(1000)->Complexity()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CollapseAll)->Arg(10)->Arg(100)->Arg(1000)->Complexity()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RowToItemAndBack)->Arg(10)->Arg(100)->Arg(1000)->Complexity()->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
