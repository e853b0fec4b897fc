#include "platform/ui/TableRowUpdates.h"

#include "platform/core/Log.h"
#include "platform/ui/BasicAnimation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/Transaction.h"

#include <algorithm>

namespace ui {

namespace {

// Where a row of the old numbering lands after the batch (deleted rows excluded by the caller).
int rowAfter(int oldRow, const std::vector<int>& deletes, const std::vector<int>& inserts)
{
    int row = oldRow - static_cast<int>(std::lower_bound(deletes.begin(), deletes.end(), oldRow) - deletes.begin());
    for (int inserted : inserts) {
        if (inserted <= row)
            ++row;
    }
    return row;
}

// Which old row a surviving row of the new numbering was (inserted rows excluded by the caller).
int rowBefore(int newRow, const std::vector<int>& deletes, const std::vector<int>& inserts)
{
    int row = newRow - static_cast<int>(std::lower_bound(inserts.begin(), inserts.end(), newRow) - inserts.begin());
    for (int deleted : deletes) {
        if (deleted <= row)
            ++row;
    }
    return row;
}

std::shared_ptr<BasicAnimation> rowAnimation(const QString& keyPath, AnimatableValue from, AnimatableValue to)
{
    auto animation = BasicAnimation::create(keyPath, std::move(from), std::move(to), TableView::kRowAnimationDuration);
    animation->setTimingFunction(TimingFunction::easeInEaseOut());
    return animation;
}

} // namespace

TableRowUpdates::TableRowUpdates(TableView& table)
    : m_table(table)
{
}

// ---- reloading rows ------------------------------------------------------------------------

void TableRowUpdates::reloadRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation)
{
    m_table.ensureData();
    auto self = m_table.shared_from_this();
    Transaction::begin();
    int firstSection = static_cast<int>(m_table.m_sections.size());
    std::vector<IndexPath> reloaded;
    for (const auto& path : paths) {
        if (!m_table.validPath(path))
            continue;
        TableView::Section& s = m_table.m_sections[path.section];
        s.heights[path.row] = m_table.rowHeightFor(path);
        s.recomputeFrom(path.row);
        firstSection = std::min(firstSection, path.section);
        if (auto cell = m_table.cellForRowAtIndexPath(path))
            m_table.recycleCell(path, cell, true);
        reloaded.push_back(path);
    }
    m_table.restackSections(firstSection);
    m_table.updateContentSize();
    m_table.layoutVisible();
    for (const auto& path : reloaded) {
        if (auto cell = m_table.cellForRowAtIndexPath(path))
            animateIn(cell, animation == TableViewRowAnimation::None ? animation : TableViewRowAnimation::Fade);
    }
    Transaction::commit();
}

void TableRowUpdates::reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation)
{
    m_table.ensureData();
    auto self = m_table.shared_from_this();
    Transaction::begin();
    int first = static_cast<int>(m_table.m_sections.size());
    for (int s : sections) {
        if (s < 0 || s >= static_cast<int>(m_table.m_sections.size()))
            continue;
        first = std::min(first, s);
        const auto cells = m_table.m_visibleCells;
        for (const auto& [path, cell] : cells) {
            if (path.section == s)
                m_table.recycleCell(path, cell, true);
        }
        std::erase_if(m_table.m_selected, [s](const IndexPath& p) { return p.section == s; });
        for (auto* views : {&m_table.m_visibleHeaders, &m_table.m_visibleFooters}) {
            if (auto it = views->find(s); it != views->end()) {
                it->second->removeFromSuperview();
                views->erase(it);
            }
        }
        m_table.m_sections[s] = m_table.measureSection(s);
    }
    m_table.restackSections(first);
    m_table.updateContentSize();
    m_table.layoutVisible();
    if (animation != TableViewRowAnimation::None) {
        for (const auto& [path, cell] : m_table.m_visibleCells) {
            if (std::find(sections.begin(), sections.end(), path.section) != sections.end())
                animateIn(cell, TableViewRowAnimation::Fade);
        }
    }
    Transaction::commit();
}

// ---- batched updates -----------------------------------------------------------------------

void TableRowUpdates::beginUpdates()
{
    m_table.ensureData();
    ++m_updateDepth;
}

void TableRowUpdates::endUpdates()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth > 0)
        return;
    PendingUpdates updates = std::move(m_pending);
    m_pending = {};
    applyUpdates(std::move(updates));
}

void TableRowUpdates::insertRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation)
{
    beginUpdates();
    for (const auto& path : paths)
        m_pending.inserts.emplace_back(path, animation);
    endUpdates();
}

void TableRowUpdates::deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation)
{
    beginUpdates();
    for (const auto& path : paths)
        m_pending.deletes.emplace_back(path, animation);
    endUpdates();
}

const std::vector<int>& TableRowUpdates::Batch::deletesIn(int section) const
{
    static const std::vector<int> none;
    auto it = deletes.find(section);
    return it == deletes.end() ? none : it->second;
}

const std::vector<int>& TableRowUpdates::Batch::insertsIn(int section) const
{
    static const std::vector<int> none;
    auto it = inserts.find(section);
    return it == inserts.end() ? none : it->second;
}

std::optional<IndexPath> TableRowUpdates::Batch::moved(const IndexPath& path) const
{
    const auto& del = deletesIn(path.section);
    if (std::binary_search(del.begin(), del.end(), path.row))
        return std::nullopt;
    return IndexPath(path.section, rowAfter(path.row, del, insertsIn(path.section)));
}

TableRowUpdates::Batch TableRowUpdates::Batch::from(const PendingUpdates& updates)
{
    Batch batch;
    for (const auto& [path, animation] : updates.deletes) {
        if (batch.deleteAnimation.emplace(path, animation).second)
            batch.deletes[path.section].push_back(path.row);
    }
    for (const auto& [path, animation] : updates.inserts) {
        if (batch.insertAnimation.emplace(path, animation).second)
            batch.inserts[path.section].push_back(path.row);
    }
    for (auto* table : {&batch.deletes, &batch.inserts}) {
        for (auto& [section, rows] : *table)
            std::sort(rows.begin(), rows.end());
    }
    // Rows move with the batch only when something in it animates.
    for (const auto* changes : {&updates.deletes, &updates.inserts}) {
        for (const auto& change : *changes)
            batch.animated = batch.animated || change.second != TableViewRowAnimation::None;
    }
    return batch;
}

// The data source must already hold the new counts; anything else is a caller's fault that
// the phone answers with an exception.
bool TableRowUpdates::batchMatchesDataSource(const Batch& batch)
{
    const auto ds = m_table.dataSource();
    const int sectionCount = static_cast<int>(m_table.m_sections.size());
    if (!ds || ds->numberOfSectionsInTableView(m_table) != sectionCount)
        return false;
    for (const auto* table : {&batch.deletes, &batch.inserts}) {
        for (const auto& [section, rows] : *table) {
            if (section < 0 || section >= sectionCount)
                return false;
        }
    }
    for (int s = 0; s < sectionCount; ++s) {
        const int newCount = ds->numberOfRowsInSection(m_table, s);
        const auto& del = batch.deletesIn(s);
        const auto& ins = batch.insertsIn(s);
        const int oldCount = m_table.m_sections[s].rows();
        if (newCount != oldCount - static_cast<int>(del.size()) + static_cast<int>(ins.size()))
            return false;
        if (!del.empty() && (del.front() < 0 || del.back() >= oldCount))
            return false;
        if (!ins.empty() && (ins.front() < 0 || ins.back() >= newCount))
            return false;
    }
    return true;
}

// Only inserted rows are measured; the running sums restart at the first change. What the
// rows that slide into view need of the old model (section tops, heights of the rows that go)
// is kept in the batch instead of a copy of the model.
void TableRowUpdates::applyBatchToModel(Batch& batch)
{
    for (const auto& sec : m_table.m_sections)
        batch.oldTops.push_back(sec.top);
    int firstChangedSection = static_cast<int>(m_table.m_sections.size());
    for (int s = 0; s < static_cast<int>(m_table.m_sections.size()); ++s) {
        const auto& del = batch.deletesIn(s);
        const auto& ins = batch.insertsIn(s);
        if (del.empty() && ins.empty())
            continue;
        firstChangedSection = std::min(firstChangedSection, s);
        TableView::Section& sec = m_table.m_sections[s];
        for (int row : del)
            batch.deletedHeights[s].push_back(sec.heights[row]);
        for (auto it = del.rbegin(); it != del.rend(); ++it)
            sec.heights.erase(sec.heights.begin() + *it);
        for (int row : ins)
            sec.heights.insert(sec.heights.begin() + row, m_table.rowHeightFor(IndexPath(s, row)));
        const int first = std::min(del.empty() ? sec.rows() : del.front(), ins.empty() ? sec.rows() : ins.front());
        sec.recomputeFrom(first);
    }
    m_table.restackSections(firstChangedSection);
}

// Selection, highlight and a shown confirmation follow their rows.
void TableRowUpdates::followBatch(const Batch& batch)
{
    std::set<IndexPath> selected;
    for (const auto& p : m_table.m_selected) {
        if (auto q = batch.moved(p))
            selected.insert(*q);
    }
    m_table.m_selected = std::move(selected);
    if (m_table.m_highlighted)
        m_table.m_highlighted = batch.moved(*m_table.m_highlighted);
    if (!m_table.m_confirming)
        return;
    const IndexPath was = *m_table.m_confirming;
    m_table.m_confirming = batch.moved(was);
    if (m_table.m_confirming || m_table.m_editing)
        return;
    if (const auto d = m_table.delegate())
        d->didEndEditingRowAtIndexPath(m_table, was);
}

// Cells of deleted rows leave with their animation; the others take their new paths.
// Returns where each kept cell was.
std::map<IndexPath, Rect> TableRowUpdates::retireDeletedCells(const Batch& batch)
{
    std::map<IndexPath, std::shared_ptr<TableViewCell>> kept;
    std::map<IndexPath, Rect> keptFrom;
    const auto cells = std::move(m_table.m_visibleCells);
    m_table.m_visibleCells.clear();
    for (const auto& [path, cell] : cells) {
        if (auto q = batch.moved(path)) {
            kept[*q] = cell;
            keptFrom[*q] = cell->frame();
            continue;
        }
        if (const auto d = m_table.delegate())
            d->didEndDisplayingCell(m_table, cell, path);
        animateOut(cell, batch.deleteAnimation.at(path));
    }
    m_table.m_visibleCells = std::move(kept);
    return keptFrom;
}

void TableRowUpdates::clampOffsetToContent()
{
    const Rect b = m_table.bounds();
    const double maxY = std::max(-m_table.contentInset().top, m_table.contentSize().height + m_table.contentInset().bottom - b.height());
    if (b.y() <= maxY)
        return;
    m_table.m_reloading = true;   // the caller lays out for the new offset
    m_table.setContentOffset(Point(b.x(), maxY));
    m_table.m_reloading = false;
}

// Where a surviving row that was off screen used to be.
Rect TableRowUpdates::oldRowRect(const Batch& batch, const IndexPath& path) const
{
    const TableView::Section& sec = m_table.m_sections[path.section];
    const auto& del = batch.deletesIn(path.section);
    const auto& ins = batch.insertsIn(path.section);
    const int oldRow = rowBefore(path.row, del, ins);
    double y = batch.oldTops[path.section] + sec.headerHeight + sec.tops[path.row];
    for (std::size_t i = 0; i < ins.size() && ins[i] < path.row; ++i)
        y -= sec.heights[ins[i]];
    const auto heights = batch.deletedHeights.find(path.section);
    for (std::size_t i = 0; i < del.size() && del[i] < oldRow; ++i)
        y += heights->second[i];
    return Rect(0, y, m_table.bounds().width(), sec.heights[path.row]);
}

void TableRowUpdates::animateBatch(const Batch& batch, const std::map<IndexPath, Rect>& keptFrom,
                             const std::map<int, Rect>& oldHeaderFrames)
{
    for (const auto& [path, cell] : m_table.m_visibleCells) {
        if (auto from = keptFrom.find(path); from != keptFrom.end())
            animateMove(cell, from->second);
        else if (auto in = batch.insertAnimation.find(path); in != batch.insertAnimation.end())
            animateIn(cell, in->second);
        else
            animateMove(cell, oldRowRect(batch, path));
    }
    for (const auto& [section, view] : m_table.m_visibleHeaders) {
        auto it = oldHeaderFrames.find(section);
        if (it == oldHeaderFrames.end() || it->second == view->frame())
            continue;
        view->layer()->addAnimation(rowAnimation(QStringLiteral("position"), it->second.center(), view->frame().center()),
                                    QStringLiteral("tableMove"));
    }
}

void TableRowUpdates::applyUpdates(PendingUpdates updates)
{
    auto self = m_table.shared_from_this();
    // Every animation below joins this transaction and any the caller opened around it.
    Transaction::begin();
    Batch batch = Batch::from(updates);
    if (!batchMatchesDataSource(batch)) {
        core::log(QStringLiteral("TableView"), QStringLiteral("row updates do not match the data source; reloading"));
        m_table.reloadData();
        Transaction::commit();
        return;
    }
    std::map<int, Rect> oldHeaderFrames;
    for (const auto& [section, view] : m_table.m_visibleHeaders)
        oldHeaderFrames[section] = view->frame();

    applyBatchToModel(batch);
    followBatch(batch);
    const auto keptFrom = retireDeletedCells(batch);
    m_table.updateContentSize();
    clampOffsetToContent();
    m_table.layoutVisible();
    if (batch.animated)
        animateBatch(batch, keptFrom, oldHeaderFrames);
    Transaction::commit();
}

void TableRowUpdates::animateMove(const std::shared_ptr<TableViewCell>& cell, const Rect& from)
{
    if (!cell || from == cell->frame())
        return;
    cell->layer()->addAnimation(rowAnimation(QStringLiteral("position"), from.center(), cell->frame().center()),
                                QStringLiteral("tableMove"));
}

void TableRowUpdates::animateIn(const std::shared_ptr<TableViewCell>& cell, TableViewRowAnimation animation)
{
    const Rect f = cell->frame();
    const Point c = f.center();
    auto layer = cell->layer();
    switch (animation) {
    case TableViewRowAnimation::None:
        return;
    case TableViewRowAnimation::Right:
        layer->addAnimation(rowAnimation(QStringLiteral("position"), Point(c.x + f.width(), c.y), c), QStringLiteral("tableIn"));
        return;
    case TableViewRowAnimation::Left:
        layer->addAnimation(rowAnimation(QStringLiteral("position"), Point(c.x - f.width(), c.y), c), QStringLiteral("tableIn"));
        return;
    case TableViewRowAnimation::Top:
        layer->addAnimation(rowAnimation(QStringLiteral("position"), Point(c.x, c.y - f.height()), c), QStringLiteral("tableIn"));
        break;
    case TableViewRowAnimation::Bottom:
        layer->addAnimation(rowAnimation(QStringLiteral("position"), Point(c.x, c.y + f.height()), c), QStringLiteral("tableIn"));
        break;
    default:
        break;
    }
    layer->addAnimation(rowAnimation(QStringLiteral("opacity"), 0.0, 1.0), QStringLiteral("tableFade"));
}

void TableRowUpdates::animateOut(const std::shared_ptr<TableViewCell>& cell, TableViewRowAnimation animation)
{
    if (animation == TableViewRowAnimation::None) {
        cell->removeFromSuperview();
        m_table.enqueue(cell);
        return;
    }
    // The leaving row slides under its neighbours and takes no touches on its way out.
    cell->setUserInteractionEnabled(false);
    if (m_table.m_backgroundView)
        m_table.insertSubviewAbove(cell, m_table.m_backgroundView);
    else
        m_table.insertSubviewAt(cell, 0);
    m_table.m_dyingCells.push_back(cell);

    const Rect f = cell->frame();
    const Point c = f.center();
    std::shared_ptr<BasicAnimation> main;
    switch (animation) {
    case TableViewRowAnimation::Right:
        main = rowAnimation(QStringLiteral("position"), c, Point(c.x + f.width(), c.y));
        break;
    case TableViewRowAnimation::Left:
        main = rowAnimation(QStringLiteral("position"), c, Point(c.x - f.width(), c.y));
        break;
    case TableViewRowAnimation::Top:
        main = rowAnimation(QStringLiteral("position"), c, Point(c.x, c.y - f.height()));
        break;
    case TableViewRowAnimation::Bottom:
        main = rowAnimation(QStringLiteral("position"), c, Point(c.x, c.y + f.height()));
        break;
    default:
        main = rowAnimation(QStringLiteral("opacity"), 1.0, 0.0);
        break;
    }
    main->setFillMode(Animation::FillMode::Forwards);
    main->setRemovedOnCompletion(false);
    std::weak_ptr<TableView> weak = std::static_pointer_cast<TableView>(m_table.shared_from_this());
    // The animation lives on the cell's own layer: holding the cell strongly here would
    // keep the cell, its layer and the animation alive in a cycle once the table is gone.
    std::weak_ptr<TableViewCell> weakCell = cell;
    main->onStop = [weak, weakCell](bool) {
        auto self = weak.lock();
        auto cell = weakCell.lock();
        if (!self || !cell)
            return;
        auto it = std::find(self->m_dyingCells.begin(), self->m_dyingCells.end(), cell);
        if (it == self->m_dyingCells.end())
            return;   // a reload took it already
        self->m_dyingCells.erase(it);
        cell->removeFromSuperview();
        self->enqueue(cell);
    };
    cell->layer()->addAnimation(main, QStringLiteral("tableOut"));
    if (main->keyPath() == QLatin1String("position")) {
        auto fade = rowAnimation(QStringLiteral("opacity"), 1.0, 0.0);
        fade->setFillMode(Animation::FillMode::Forwards);
        fade->setRemovedOnCompletion(false);
        cell->layer()->addAnimation(fade, QStringLiteral("tableOutFade"));
    }
}

} // namespace ui
