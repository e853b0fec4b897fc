#include "platform/ui/TableView.h"

#include "platform/core/Log.h"
#include "platform/ui/BasicAnimation.h"
#include "platform/ui/Layer.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/Transaction.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double kPlainHeaderFooterHeight = 22;
constexpr double kGroupedHeaderFooterHeight = 18;
constexpr std::size_t kMinimumPool = 8;

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

void TableView::Section::recomputeFrom(int row)
{
    const int n = rows();
    tops.resize(n + 1);
    row = std::clamp(row, 0, n);
    if (row == 0)
        tops[0] = 0;
    for (int i = std::max(row, 1); i <= n; ++i)
        tops[i] = tops[i - 1] + heights[i - 1];
}

std::shared_ptr<TableView> TableView::create(const Rect& frame, TableViewStyle style)
{
    auto table = std::shared_ptr<TableView>(new TableView(frame, style));
    table->installPanRecognizer();
    return table;
}

TableView::TableView(const Rect& frame, TableViewStyle style)
    : ScrollView(frame)
    , m_style(style)
    , m_sectionHeaderHeight(style == TableViewStyle::Plain ? kPlainHeaderFooterHeight : kGroupedHeaderFooterHeight)
    , m_sectionFooterHeight(style == TableViewStyle::Plain ? kPlainHeaderFooterHeight : kGroupedHeaderFooterHeight)
{
    m_look.separatorColor = Color::fromRGB(0xC8C7CC);
    m_look.separatorInset = EdgeInsets{0, 15, 0, 0};
    setBackgroundColor(style == TableViewStyle::Plain ? Color::white() : Color::fromRGB(0xEFEFF4));
    setAlwaysBounceVertical(true);
}

TableView::~TableView() = default;

// ---- configuration -------------------------------------------------------------------------

void TableView::setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource)
{
    m_dataSource = dataSource;
    m_needsReload = true;
    setNeedsLayout();
}

void TableView::setDelegate(const std::shared_ptr<TableViewDelegate>& delegate)
{
    m_tableDelegate = delegate;
    ScrollView::setDelegate(delegate);
    m_needsReload = true;
    setNeedsLayout();
}

void TableView::setRowHeight(double height)
{
    m_rowHeight = std::max(0.0, height);
    m_needsReload = true;
    setNeedsLayout();
}

void TableView::setSectionHeaderHeight(double height)
{
    m_sectionHeaderHeight = std::max(0.0, height);
    m_needsReload = true;
    setNeedsLayout();
}

void TableView::setSectionFooterHeight(double height)
{
    m_sectionFooterHeight = std::max(0.0, height);
    m_needsReload = true;
    setNeedsLayout();
}

void TableView::setSeparatorStyle(TableViewCellSeparatorStyle style)
{
    m_look.separatorStyle = style;
    auto self = std::static_pointer_cast<TableView>(shared_from_this());
    for (const auto& [path, cell] : m_visibleCells)
        cell->attach(self, m_look);
}

void TableView::setSeparatorColor(const Color& color)
{
    m_look.separatorColor = color;
    setSeparatorStyle(m_look.separatorStyle);
}

void TableView::setSeparatorInset(const EdgeInsets& inset)
{
    m_look.separatorInset = inset;
    setSeparatorStyle(m_look.separatorStyle);
}

void TableView::setBackgroundView(const std::shared_ptr<View>& view)
{
    if (m_backgroundView)
        m_backgroundView->removeFromSuperview();
    m_backgroundView = view;
    if (view) {
        insertSubviewAt(view, 0);
        placeFixedViews();
    }
}

void TableView::setTableHeaderView(const std::shared_ptr<View>& view)
{
    if (m_tableHeaderView)
        m_tableHeaderView->removeFromSuperview();
    m_tableHeaderView = view;
    if (view)
        addSubview(view);
    if (!m_needsReload) {
        restackSections(0);
        updateContentSize();
    }
    placeFixedViews();
    setNeedsLayout();
}

void TableView::setTableFooterView(const std::shared_ptr<View>& view)
{
    if (m_tableFooterView)
        m_tableFooterView->removeFromSuperview();
    m_tableFooterView = view;
    if (view)
        addSubview(view);
    if (!m_needsReload)
        updateContentSize();
    placeFixedViews();
    setNeedsLayout();
}

// ---- the model -----------------------------------------------------------------------------

void TableView::ensureData()
{
    if (m_needsReload && !m_reloading)
        rebuildModel();
}

void TableView::rebuildModel()
{
    auto self = shared_from_this();
    m_reloading = true;
    m_needsReload = false;
    m_sections.clear();
    const auto ds = dataSource();
    const int count = ds ? std::max(0, ds->numberOfSectionsInTableView(*this)) : 0;
    m_sections.reserve(count);
    for (int s = 0; s < count; ++s)
        m_sections.push_back(measureSection(s));
    restackSections(0);
    updateContentSize();
    m_reloading = false;
}

TableView::Section TableView::measureSection(int section)
{
    Section s;
    const auto ds = dataSource();
    const int rows = ds ? std::max(0, ds->numberOfRowsInSection(*this, section)) : 0;
    s.heights.reserve(rows);
    for (int r = 0; r < rows; ++r)
        s.heights.push_back(rowHeightFor(IndexPath(section, r)));
    s.recomputeFrom(0);
    s.headerHeight = headerHeightFor(section);
    s.footerHeight = footerHeightFor(section);
    return s;
}

double TableView::rowHeightFor(const IndexPath& path)
{
    const auto d = delegate();
    const auto h = d ? d->heightForRowAtIndexPath(*this, path) : std::nullopt;
    if (!h || *h == automaticDimension)
        return m_rowHeight;
    return std::max(0.0, *h);
}

// An unanswered height is the table's own when there is a view to show (always in a grouped
// table, which spaces its sections), else nothing; the view is asked for only then.
double TableView::headerHeightFor(int section)
{
    const auto d = delegate();
    if (auto h = d ? d->heightForHeaderInSection(*this, section) : std::nullopt)
        return std::max(0.0, *h);
    if (m_style == TableViewStyle::Grouped || (d && d->viewForHeaderInSection(*this, section)))
        return m_sectionHeaderHeight;
    return 0;
}

double TableView::footerHeightFor(int section)
{
    const auto d = delegate();
    if (auto h = d ? d->heightForFooterInSection(*this, section) : std::nullopt)
        return std::max(0.0, *h);
    if (m_style == TableViewStyle::Grouped || (d && d->viewForFooterInSection(*this, section)))
        return m_sectionFooterHeight;
    return 0;
}

double TableView::contentTop() const
{
    return m_tableHeaderView ? m_tableHeaderView->frame().height() : 0;
}

void TableView::restackSections(int from)
{
    from = std::max(0, from);
    double top = from == 0 ? contentTop() : m_sections[from - 1].top + m_sections[from - 1].height();
    for (std::size_t s = from; s < m_sections.size(); ++s) {
        m_sections[s].top = top;
        top += m_sections[s].height();
    }
}

void TableView::updateContentSize()
{
    double height = contentTop();
    if (!m_sections.empty())
        height = m_sections.back().top + m_sections.back().height();
    if (m_tableFooterView)
        height += m_tableFooterView->frame().height();
    setContentSize(Size(bounds().width(), height));
}

bool TableView::validPath(const IndexPath& path) const
{
    return path.section >= 0 && path.section < static_cast<int>(m_sections.size()) && path.row >= 0
        && path.row < m_sections[path.section].rows();
}

int TableView::numberOfSections()
{
    ensureData();
    return static_cast<int>(m_sections.size());
}

int TableView::numberOfRowsInSection(int section)
{
    ensureData();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return 0;
    return m_sections[section].rows();
}

// ---- geometry ------------------------------------------------------------------------------

Rect TableView::rectForSection(int section)
{
    ensureData();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return Rect();
    const Section& s = m_sections[section];
    return Rect(0, s.top, bounds().width(), s.height());
}

Rect TableView::rectForHeaderInSection(int section)
{
    ensureData();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return Rect();
    const Section& s = m_sections[section];
    return Rect(0, s.top, bounds().width(), s.headerHeight);
}

Rect TableView::rectForFooterInSection(int section)
{
    ensureData();
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return Rect();
    const Section& s = m_sections[section];
    return Rect(0, s.top + s.headerHeight + s.rowsHeight(), bounds().width(), s.footerHeight);
}

Rect TableView::rectForRowAtIndexPath(const IndexPath& path)
{
    ensureData();
    if (!validPath(path))
        return Rect();
    const Section& s = m_sections[path.section];
    return Rect(0, s.top + s.headerHeight + s.tops[path.row], bounds().width(), s.heights[path.row]);
}

std::optional<IndexPath> TableView::indexPathForRowAtPoint(const Point& point)
{
    ensureData();
    if (point.x < 0 || point.x >= bounds().width())
        return std::nullopt;
    auto it = std::upper_bound(m_sections.begin(), m_sections.end(), point.y,
                               [](double y, const Section& s) { return y < s.top; });
    if (it == m_sections.begin())
        return std::nullopt;
    --it;
    const double y = point.y - it->top - it->headerHeight;
    if (y < 0 || y >= it->rowsHeight())
        return std::nullopt;
    const int row = static_cast<int>(std::upper_bound(it->tops.begin(), it->tops.end(), y) - it->tops.begin()) - 1;
    return IndexPath(static_cast<int>(it - m_sections.begin()), row);
}

std::vector<IndexPath> TableView::indexPathsForRowsInRect(const Rect& rect)
{
    ensureData();
    std::vector<IndexPath> out;
    for (std::size_t si = 0; si < m_sections.size(); ++si) {
        const Section& s = m_sections[si];
        const double rowsTop = s.top + s.headerHeight;
        if (rowsTop >= rect.maxY() || rowsTop + s.rowsHeight() <= rect.minY())
            continue;
        int row = static_cast<int>(std::upper_bound(s.tops.begin(), s.tops.end(), rect.minY() - rowsTop) - s.tops.begin()) - 1;
        for (row = std::max(row, 0); row < s.rows() && rowsTop + s.tops[row] < rect.maxY(); ++row)
            out.emplace_back(static_cast<int>(si), row);
    }
    return out;
}

std::optional<IndexPath> TableView::indexPathForCell(const TableViewCell* cell) const
{
    for (const auto& [path, c] : m_visibleCells) {
        if (c.get() == cell)
            return path;
    }
    return std::nullopt;
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndexPath(const IndexPath& path) const
{
    auto it = m_visibleCells.find(path);
    return it == m_visibleCells.end() ? nullptr : it->second;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells()
{
    layoutIfNeeded();
    std::vector<std::shared_ptr<TableViewCell>> out;
    for (const auto& [path, cell] : m_visibleCells)
        out.push_back(cell);
    return out;
}

std::vector<IndexPath> TableView::indexPathsForVisibleRows()
{
    layoutIfNeeded();
    std::vector<IndexPath> out;
    for (const auto& [path, cell] : m_visibleCells)
        out.push_back(path);
    return out;
}

std::shared_ptr<View> TableView::headerViewForSection(int section) const
{
    auto it = m_visibleHeaders.find(section);
    return it == m_visibleHeaders.end() ? nullptr : it->second;
}

std::shared_ptr<View> TableView::footerViewForSection(int section) const
{
    auto it = m_visibleFooters.find(section);
    return it == m_visibleFooters.end() ? nullptr : it->second;
}

void TableView::scrollToRowAtIndexPath(const IndexPath& path, TableViewScrollPosition position, bool animated)
{
    ensureData();
    if (!validPath(path))
        return;
    const Rect r = rectForRowAtIndexPath(path);
    const Rect b = bounds();
    if (position == TableViewScrollPosition::None) {
        if (r.minY() >= b.minY() && r.maxY() <= b.maxY())
            return;
        position = r.minY() < b.minY() ? TableViewScrollPosition::Top : TableViewScrollPosition::Bottom;
    }
    double y = r.minY();
    if (position == TableViewScrollPosition::Middle)
        y = r.midY() - b.height() / 2;
    else if (position == TableViewScrollPosition::Bottom)
        y = r.maxY() - b.height();
    const double lo = -contentInset().top;
    const double hi = std::max(lo, contentSize().height + contentInset().bottom - b.height());
    setContentOffset(Point(b.x(), std::clamp(y, lo, hi)), animated);
}

void TableView::scrollToNearestSelectedRowAtScrollPosition(TableViewScrollPosition position, bool animated)
{
    if (auto path = indexPathForSelectedRow())
        scrollToRowAtIndexPath(*path, position, animated);
}

// ---- reuse ---------------------------------------------------------------------------------

std::shared_ptr<TableViewCell> TableView::dequeueReusableCellWithIdentifier(const QString& identifier)
{
    auto pool = m_cellPool.find(identifier);
    if (pool != m_cellPool.end() && !pool->second.empty()) {
        auto cell = pool->second.back();
        pool->second.pop_back();
        cell->prepareForReuse();
        return cell;
    }
    auto factory = m_cellFactories.find(identifier);
    if (factory == m_cellFactories.end())
        return nullptr;
    return factory->second(identifier);
}

void TableView::registerClass(CellFactory factory, const QString& identifier)
{
    if (factory)
        m_cellFactories[identifier] = std::move(factory);
    else
        m_cellFactories.erase(identifier);
}

std::shared_ptr<View> TableView::dequeueReusableHeaderFooterViewWithIdentifier(const QString& identifier)
{
    auto pool = m_headerFooterPool.find(identifier);
    if (pool != m_headerFooterPool.end() && !pool->second.empty()) {
        auto view = pool->second.back();
        pool->second.pop_back();
        return view;
    }
    auto factory = m_headerFooterFactories.find(identifier);
    if (factory == m_headerFooterFactories.end())
        return nullptr;
    auto view = factory->second(identifier);
    if (view)
        m_headerFooterIds[view.get()] = {view, identifier};
    return view;
}

void TableView::registerClassForHeaderFooterView(ViewFactory factory, const QString& identifier)
{
    if (factory)
        m_headerFooterFactories[identifier] = std::move(factory);
    else
        m_headerFooterFactories.erase(identifier);
}

void TableView::enqueue(const std::shared_ptr<TableViewCell>& cell)
{
    cell->layer()->removeAllAnimations();
    cell->setUserInteractionEnabled(true);
    if (cell->reuseIdentifier().isEmpty())
        return;
    // A data source that makes new cells instead of dequeuing would otherwise grow the pool
    // by every row that scrolls away.
    auto& pool = m_cellPool[cell->reuseIdentifier()];
    if (pool.size() >= std::max<std::size_t>(kMinimumPool, 2 * m_visibleCells.size()))
        return;
    pool.push_back(cell);
}

// ---- layout --------------------------------------------------------------------------------

void TableView::layoutSubviews()
{
    ScrollView::layoutSubviews();
    ensureData();
    if (contentSize().width != bounds().width())
        updateContentSize();
    layoutVisible();
}

void TableView::contentOffsetDidChange()
{
    if (m_reloading)
        return;
    layoutVisible();
}

void TableView::layoutVisible()
{
    ensureData();
    const Rect visible = bounds();
    layoutCells(visible);
    layoutHeadersFooters(visible);
    placeFixedViews();
}

void TableView::layoutCells(const Rect& visible)
{
    const auto needed = indexPathsForRowsInRect(visible);
    std::vector<std::pair<IndexPath, std::shared_ptr<TableViewCell>>> gone;
    for (const auto& [path, cell] : m_visibleCells) {
        if (!std::binary_search(needed.begin(), needed.end(), path))
            gone.emplace_back(path, cell);
    }
    for (const auto& [path, cell] : gone)
        recycleCell(path, cell, true);
    for (const auto& path : needed) {
        auto it = m_visibleCells.find(path);
        if (it != m_visibleCells.end()) {
            it->second->setFrame(rectForRowAtIndexPath(path));
            continue;
        }
        m_visibleCells[path] = makeCell(path);
    }
}

std::shared_ptr<TableViewCell> TableView::makeCell(const IndexPath& path)
{
    const auto ds = dataSource();
    auto cell = ds ? ds->cellForRowAtIndexPath(*this, path) : nullptr;
    if (!cell) {
        // A data source that returns no cell still gets a row, blank, instead of a hole.
        core::log(QStringLiteral("TableView"), QStringLiteral("no cell for row %1 of section %2").arg(path.row).arg(path.section));
        cell = TableViewCell::create();
    }
    configureCell(cell, path);
    if (const auto d = delegate())
        d->willDisplayCell(*this, cell, path);
    addSubview(cell);
    cell->layoutIfNeeded();
    return cell;
}

void TableView::configureCell(const std::shared_ptr<TableViewCell>& cell, const IndexPath& path)
{
    cell->attach(std::static_pointer_cast<TableView>(shared_from_this()), m_look);
    cell->setFrame(rectForRowAtIndexPath(path));
    cell->setSelected(m_selected.count(path) > 0);
    const auto d = delegate();
    cell->setIndentationLevel(d ? d->indentationLevelForRowAtIndexPath(*this, path) : 0);
    const bool editable = m_editing && canEdit(path);
    const bool indents = !d || d->shouldIndentWhileEditingRowAtIndexPath(*this, path);
    cell->setEditingState(editable, editable ? editingStyleFor(path) : TableViewCellEditingStyle::None, indents);
}

void TableView::recycleCell(const IndexPath& path, const std::shared_ptr<TableViewCell>& cell, bool tell)
{
    m_visibleCells.erase(path);
    cell->removeFromSuperview();
    if (tell) {
        if (const auto d = delegate())
            d->didEndDisplayingCell(*this, cell, path);
    }
    enqueue(cell);
}

void TableView::layoutHeadersFooters(const Rect& visible)
{
    const auto d = delegate();
    auto retire = [this](std::map<int, std::shared_ptr<View>>& views, int section) {
        auto it = views.find(section);
        if (it == views.end())
            return;
        auto view = it->second;
        views.erase(it);
        view->removeFromSuperview();
        auto id = m_headerFooterIds.find(view.get());
        if (id != m_headerFooterIds.end() && id->second.first.lock() == view)
            m_headerFooterPool[id->second.second].push_back(view);
    };
    for (int s = 0; s < static_cast<int>(m_sections.size()); ++s) {
        const Section& sec = m_sections[s];
        Rect header(0, sec.top, visible.width(), sec.headerHeight);
        if (m_style == TableViewStyle::Plain) {
            // Plain headers float: they stay at the top while their section is under it.
            const double pinned = visible.y() + contentInset().top;
            const double sectionBottom = sec.top + sec.height() - sec.footerHeight;
            header.origin.y = std::max(sec.top, std::min(pinned, sectionBottom - sec.headerHeight));
        }
        const Rect footer(0, sec.top + sec.headerHeight + sec.rowsHeight(), visible.width(), sec.footerHeight);
        const struct {
            Rect rect;
            double height;
            std::map<int, std::shared_ptr<View>>* views;
            bool isHeader;
        } parts[] = {{header, sec.headerHeight, &m_visibleHeaders, true}, {footer, sec.footerHeight, &m_visibleFooters, false}};
        for (const auto& part : parts) {
            const bool shown = part.height > 0 && part.rect.intersects(visible);
            if (!shown) {
                retire(*part.views, s);
                continue;
            }
            auto it = part.views->find(s);
            if (it == part.views->end()) {
                auto view = !d ? nullptr : part.isHeader ? d->viewForHeaderInSection(*this, s) : d->viewForFooterInSection(*this, s);
                if (!view)
                    continue;
                it = part.views->emplace(s, view).first;
            }
            it->second->setFrame(part.rect);
            bringSubviewToFront(it->second);
            if (it->second->superview().get() != this)
                addSubview(it->second);
        }
    }
}

void TableView::placeFixedViews()
{
    const Rect b = bounds();
    if (m_backgroundView) {
        m_backgroundView->setFrame(b);
        sendSubviewToBack(m_backgroundView);
    }
    if (m_tableHeaderView) {
        const Rect f = m_tableHeaderView->frame();
        m_tableHeaderView->setFrame(Rect(0, 0, b.width(), f.height()));
    }
    if (m_tableFooterView) {
        const Rect f = m_tableFooterView->frame();
        m_tableFooterView->setFrame(Rect(0, contentSize().height - f.height(), b.width(), f.height()));
    }
}

void TableView::dropAllCells()
{
    const auto cells = m_visibleCells;
    for (const auto& [path, cell] : cells)
        recycleCell(path, cell, true);
    for (auto* views : {&m_visibleHeaders, &m_visibleFooters}) {
        for (const auto& [section, view] : *views)
            view->removeFromSuperview();
        views->clear();
    }
    for (const auto& cell : m_dyingCells) {
        cell->removeFromSuperview();
        enqueue(cell);
    }
    m_dyingCells.clear();
}

// ---- reloading -----------------------------------------------------------------------------

void TableView::reloadData()
{
    auto self = shared_from_this();
    dropAllCells();
    m_selected.clear();
    m_highlighted.reset();
    m_confirming.reset();
    m_needsReload = true;
    rebuildModel();
    const Point o = contentOffset();
    const double maxY = std::max(-contentInset().top, contentSize().height + contentInset().bottom - bounds().height());
    if (o.y > maxY)
        setContentOffset(Point(o.x, maxY));
    layoutVisible();
}

void TableView::reloadRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation)
{
    ensureData();
    auto self = shared_from_this();
    Transaction::begin();
    int firstSection = static_cast<int>(m_sections.size());
    std::vector<IndexPath> reloaded;
    for (const auto& path : paths) {
        if (!validPath(path))
            continue;
        Section& s = m_sections[path.section];
        s.heights[path.row] = rowHeightFor(path);
        s.recomputeFrom(path.row);
        firstSection = std::min(firstSection, path.section);
        if (auto cell = cellForRowAtIndexPath(path))
            recycleCell(path, cell, true);
        reloaded.push_back(path);
    }
    restackSections(firstSection);
    updateContentSize();
    layoutVisible();
    for (const auto& path : reloaded) {
        if (auto cell = cellForRowAtIndexPath(path))
            animateIn(cell, animation == TableViewRowAnimation::None ? animation : TableViewRowAnimation::Fade);
    }
    Transaction::commit();
}

void TableView::reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation)
{
    ensureData();
    auto self = shared_from_this();
    Transaction::begin();
    int first = static_cast<int>(m_sections.size());
    for (int s : sections) {
        if (s < 0 || s >= static_cast<int>(m_sections.size()))
            continue;
        first = std::min(first, s);
        const auto cells = m_visibleCells;
        for (const auto& [path, cell] : cells) {
            if (path.section == s)
                recycleCell(path, cell, true);
        }
        std::erase_if(m_selected, [s](const IndexPath& p) { return p.section == s; });
        for (auto* views : {&m_visibleHeaders, &m_visibleFooters}) {
            if (auto it = views->find(s); it != views->end()) {
                it->second->removeFromSuperview();
                views->erase(it);
            }
        }
        m_sections[s] = measureSection(s);
    }
    restackSections(first);
    updateContentSize();
    layoutVisible();
    if (animation != TableViewRowAnimation::None) {
        for (const auto& [path, cell] : m_visibleCells) {
            if (std::find(sections.begin(), sections.end(), path.section) != sections.end())
                animateIn(cell, TableViewRowAnimation::Fade);
        }
    }
    Transaction::commit();
}

// ---- batched updates -----------------------------------------------------------------------

void TableView::beginUpdates()
{
    ensureData();
    ++m_updateDepth;
}

void TableView::endUpdates()
{
    if (m_updateDepth == 0)
        return;
    if (--m_updateDepth > 0)
        return;
    PendingUpdates updates = std::move(m_pending);
    m_pending = {};
    applyUpdates(std::move(updates));
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation)
{
    beginUpdates();
    for (const auto& path : paths)
        m_pending.inserts.emplace_back(path, animation);
    endUpdates();
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation)
{
    beginUpdates();
    for (const auto& path : paths)
        m_pending.deletes.emplace_back(path, animation);
    endUpdates();
}

const std::vector<int>& TableView::Batch::deletesIn(int section) const
{
    static const std::vector<int> none;
    auto it = deletes.find(section);
    return it == deletes.end() ? none : it->second;
}

const std::vector<int>& TableView::Batch::insertsIn(int section) const
{
    static const std::vector<int> none;
    auto it = inserts.find(section);
    return it == inserts.end() ? none : it->second;
}

std::optional<IndexPath> TableView::Batch::moved(const IndexPath& path) const
{
    const auto& del = deletesIn(path.section);
    if (std::binary_search(del.begin(), del.end(), path.row))
        return std::nullopt;
    return IndexPath(path.section, rowAfter(path.row, del, insertsIn(path.section)));
}

TableView::Batch TableView::Batch::from(const PendingUpdates& updates)
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
bool TableView::batchMatchesDataSource(const Batch& batch)
{
    const auto ds = dataSource();
    const int sectionCount = static_cast<int>(m_sections.size());
    if (!ds || ds->numberOfSectionsInTableView(*this) != sectionCount)
        return false;
    for (const auto* table : {&batch.deletes, &batch.inserts}) {
        for (const auto& [section, rows] : *table) {
            if (section < 0 || section >= sectionCount)
                return false;
        }
    }
    for (int s = 0; s < sectionCount; ++s) {
        const int newCount = ds->numberOfRowsInSection(*this, s);
        const auto& del = batch.deletesIn(s);
        const auto& ins = batch.insertsIn(s);
        const int oldCount = m_sections[s].rows();
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
void TableView::applyBatchToModel(Batch& batch)
{
    for (const auto& sec : m_sections)
        batch.oldTops.push_back(sec.top);
    int firstChangedSection = static_cast<int>(m_sections.size());
    for (int s = 0; s < static_cast<int>(m_sections.size()); ++s) {
        const auto& del = batch.deletesIn(s);
        const auto& ins = batch.insertsIn(s);
        if (del.empty() && ins.empty())
            continue;
        firstChangedSection = std::min(firstChangedSection, s);
        Section& sec = m_sections[s];
        for (int row : del)
            batch.deletedHeights[s].push_back(sec.heights[row]);
        for (auto it = del.rbegin(); it != del.rend(); ++it)
            sec.heights.erase(sec.heights.begin() + *it);
        for (int row : ins)
            sec.heights.insert(sec.heights.begin() + row, rowHeightFor(IndexPath(s, row)));
        const int first = std::min(del.empty() ? sec.rows() : del.front(), ins.empty() ? sec.rows() : ins.front());
        sec.recomputeFrom(first);
    }
    restackSections(firstChangedSection);
}

// Selection, highlight and a shown confirmation follow their rows.
void TableView::followBatch(const Batch& batch)
{
    std::set<IndexPath> selected;
    for (const auto& p : m_selected) {
        if (auto q = batch.moved(p))
            selected.insert(*q);
    }
    m_selected = std::move(selected);
    if (m_highlighted)
        m_highlighted = batch.moved(*m_highlighted);
    if (!m_confirming)
        return;
    const IndexPath was = *m_confirming;
    m_confirming = batch.moved(was);
    if (m_confirming || m_editing)
        return;
    if (const auto d = delegate())
        d->didEndEditingRowAtIndexPath(*this, was);
}

// Cells of deleted rows leave with their animation; the others take their new paths.
// Returns where each kept cell was.
std::map<IndexPath, Rect> TableView::retireDeletedCells(const Batch& batch)
{
    std::map<IndexPath, std::shared_ptr<TableViewCell>> kept;
    std::map<IndexPath, Rect> keptFrom;
    const auto cells = std::move(m_visibleCells);
    m_visibleCells.clear();
    for (const auto& [path, cell] : cells) {
        if (auto q = batch.moved(path)) {
            kept[*q] = cell;
            keptFrom[*q] = cell->frame();
            continue;
        }
        if (const auto d = delegate())
            d->didEndDisplayingCell(*this, cell, path);
        animateOut(cell, batch.deleteAnimation.at(path));
    }
    m_visibleCells = std::move(kept);
    return keptFrom;
}

void TableView::clampOffsetToContent()
{
    const Rect b = bounds();
    const double maxY = std::max(-contentInset().top, contentSize().height + contentInset().bottom - b.height());
    if (b.y() <= maxY)
        return;
    m_reloading = true;   // the caller lays out for the new offset
    setContentOffset(Point(b.x(), maxY));
    m_reloading = false;
}

// Where a surviving row that was off screen used to be.
Rect TableView::oldRowRect(const Batch& batch, const IndexPath& path) const
{
    const Section& sec = m_sections[path.section];
    const auto& del = batch.deletesIn(path.section);
    const auto& ins = batch.insertsIn(path.section);
    const int oldRow = rowBefore(path.row, del, ins);
    double y = batch.oldTops[path.section] + sec.headerHeight + sec.tops[path.row];
    for (std::size_t i = 0; i < ins.size() && ins[i] < path.row; ++i)
        y -= sec.heights[ins[i]];
    const auto heights = batch.deletedHeights.find(path.section);
    for (std::size_t i = 0; i < del.size() && del[i] < oldRow; ++i)
        y += heights->second[i];
    return Rect(0, y, bounds().width(), sec.heights[path.row]);
}

void TableView::animateBatch(const Batch& batch, const std::map<IndexPath, Rect>& keptFrom,
                             const std::map<int, Rect>& oldHeaderFrames)
{
    for (const auto& [path, cell] : m_visibleCells) {
        if (auto from = keptFrom.find(path); from != keptFrom.end())
            animateMove(cell, from->second);
        else if (auto in = batch.insertAnimation.find(path); in != batch.insertAnimation.end())
            animateIn(cell, in->second);
        else
            animateMove(cell, oldRowRect(batch, path));
    }
    for (const auto& [section, view] : m_visibleHeaders) {
        auto it = oldHeaderFrames.find(section);
        if (it == oldHeaderFrames.end() || it->second == view->frame())
            continue;
        view->layer()->addAnimation(rowAnimation(QStringLiteral("position"), it->second.center(), view->frame().center()),
                                    QStringLiteral("tableMove"));
    }
}

void TableView::applyUpdates(PendingUpdates updates)
{
    auto self = shared_from_this();
    // Every animation below joins this transaction and any the caller opened around it.
    Transaction::begin();
    Batch batch = Batch::from(updates);
    if (!batchMatchesDataSource(batch)) {
        core::log(QStringLiteral("TableView"), QStringLiteral("row updates do not match the data source; reloading"));
        reloadData();
        Transaction::commit();
        return;
    }
    std::map<int, Rect> oldHeaderFrames;
    for (const auto& [section, view] : m_visibleHeaders)
        oldHeaderFrames[section] = view->frame();

    applyBatchToModel(batch);
    followBatch(batch);
    const auto keptFrom = retireDeletedCells(batch);
    updateContentSize();
    clampOffsetToContent();
    layoutVisible();
    if (batch.animated)
        animateBatch(batch, keptFrom, oldHeaderFrames);
    Transaction::commit();
}

void TableView::animateMove(const std::shared_ptr<TableViewCell>& cell, const Rect& from)
{
    if (!cell || from == cell->frame())
        return;
    cell->layer()->addAnimation(rowAnimation(QStringLiteral("position"), from.center(), cell->frame().center()),
                                QStringLiteral("tableMove"));
}

void TableView::animateIn(const std::shared_ptr<TableViewCell>& cell, TableViewRowAnimation animation)
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

void TableView::animateOut(const std::shared_ptr<TableViewCell>& cell, TableViewRowAnimation animation)
{
    if (animation == TableViewRowAnimation::None) {
        cell->removeFromSuperview();
        enqueue(cell);
        return;
    }
    // The leaving row slides under its neighbours and takes no touches on its way out.
    cell->setUserInteractionEnabled(false);
    if (m_backgroundView)
        insertSubviewAbove(cell, m_backgroundView);
    else
        insertSubviewAt(cell, 0);
    m_dyingCells.push_back(cell);

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
    std::weak_ptr<TableView> weak = std::static_pointer_cast<TableView>(shared_from_this());
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

// ---- selection -----------------------------------------------------------------------------

bool TableView::selectionAllowed() const
{
    return m_editing ? m_allowsSelectionDuringEditing : m_allowsSelection;
}

std::optional<IndexPath> TableView::indexPathForSelectedRow() const
{
    if (m_selected.empty())
        return std::nullopt;
    return *m_selected.begin();
}

std::vector<IndexPath> TableView::indexPathsForSelectedRows() const
{
    return {m_selected.begin(), m_selected.end()};
}

void TableView::selectRowAtIndexPath(const std::optional<IndexPath>& path, bool animated, TableViewScrollPosition position)
{
    ensureData();
    const bool multiple = m_editing ? m_allowsMultipleSelectionDuringEditing : m_allowsMultipleSelection;
    if (!path || !multiple) {
        for (const auto& p : std::set<IndexPath>(m_selected))
            deselectRowAtIndexPath(p, animated);
    }
    if (!path || !validPath(*path))
        return;
    m_selected.insert(*path);
    if (auto cell = cellForRowAtIndexPath(*path))
        cell->setSelected(true, animated);
    if (position != TableViewScrollPosition::None)
        scrollToRowAtIndexPath(*path, position, animated);
}

void TableView::deselectRowAtIndexPath(const IndexPath& path, bool animated)
{
    m_selected.erase(path);
    if (auto cell = cellForRowAtIndexPath(path))
        cell->setSelected(false, animated);
}

void TableView::cellTouchBegan(TableViewCell& cell)
{
    auto self = shared_from_this();
    const auto path = indexPathForCell(&cell);
    if (!path)
        return;
    if (m_confirming) {
        // A touch anywhere else first puts the confirmation away.
        if (*m_confirming != *path || !m_editing)
            hideDeleteConfirmation();
        return;
    }
    if (!selectionAllowed())
        return;
    const auto d = delegate();
    if (d && !d->shouldHighlightRowAtIndexPath(*this, *path))
        return;
    m_highlighted = path;
    cell.setHighlighted(true);
    if (d)
        d->didHighlightRowAtIndexPath(*this, *path);
}

void TableView::cellTouchEnded(TableViewCell& cell, bool inside)
{
    auto self = shared_from_this();
    const auto path = indexPathForCell(&cell);
    if (!path || m_highlighted != path)
        return;
    m_highlighted.reset();
    cell.setHighlighted(false);
    if (const auto d = delegate())
        d->didUnhighlightRowAtIndexPath(*this, *path);
    if (inside && selectionAllowed())
        userSelect(*path);
}

void TableView::userSelect(const IndexPath& tapped)
{
    const auto d = delegate();
    const auto path = d ? d->willSelectRowAtIndexPath(*this, tapped) : std::optional<IndexPath>(tapped);
    if (!path || !validPath(*path))
        return;
    const bool multiple = m_editing ? m_allowsMultipleSelectionDuringEditing : m_allowsMultipleSelection;
    if (multiple && m_selected.count(*path)) {
        userDeselect(*path);
        return;
    }
    if (!multiple) {
        for (const auto& other : std::set<IndexPath>(m_selected)) {
            if (other != *path)
                userDeselect(other);
        }
    }
    m_selected.insert(*path);
    if (auto cell = cellForRowAtIndexPath(*path))
        cell->setSelected(true);
    if (d)
        d->didSelectRowAtIndexPath(*this, *path);
}

void TableView::userDeselect(const IndexPath& row)
{
    const auto d = delegate();
    const auto path = d ? d->willDeselectRowAtIndexPath(*this, row) : std::optional<IndexPath>(row);
    if (!path || !m_selected.count(*path))
        return;
    deselectRowAtIndexPath(*path, false);
    if (d)
        d->didDeselectRowAtIndexPath(*this, *path);
}

// ---- editing -------------------------------------------------------------------------------

bool TableView::canEdit(const IndexPath& path)
{
    const auto ds = dataSource();
    return ds && ds->canEditRowAtIndexPath(*this, path);
}

TableViewCellEditingStyle TableView::editingStyleFor(const IndexPath& path)
{
    const auto d = delegate();
    return d ? d->editingStyleForRowAtIndexPath(*this, path) : TableViewCellEditingStyle::Delete;
}

void TableView::setEditing(bool editing)
{
    setEditing(editing, false);
}

void TableView::setEditing(bool editing, bool)
{
    if (m_editing == editing)
        return;
    auto self = shared_from_this();
    hideDeleteConfirmation();
    m_editing = editing;
    for (const auto& [path, cell] : std::map(m_visibleCells))
        configureCell(cell, path);
}

void TableView::showDeleteConfirmationForRowAtIndexPath(const IndexPath& path)
{
    auto self = shared_from_this();
    ensureData();
    if (!validPath(path) || !canEdit(path) || editingStyleFor(path) != TableViewCellEditingStyle::Delete)
        return;
    hideDeleteConfirmation();
    auto cell = cellForRowAtIndexPath(path);
    if (!cell)
        return;
    const auto d = delegate();
    const QString title = d ? d->titleForDeleteConfirmationButtonForRowAtIndexPath(*this, path) : QStringLiteral("Delete");
    if (!m_editing && d)
        d->willBeginEditingRowAtIndexPath(*this, path);
    m_confirming = path;
    std::weak_ptr<TableView> weakTable = std::static_pointer_cast<TableView>(shared_from_this());
    std::weak_ptr<TableViewCell> weakCell = cell;
    cell->showDeleteConfirmation(title, [weakTable, weakCell] {
        auto table = weakTable.lock();
        auto c = weakCell.lock();
        if (table && c)
            table->cellDeleteConfirmed(*c);
    });
}

void TableView::hideDeleteConfirmation()
{
    if (!m_confirming)
        return;
    auto self = shared_from_this();
    const IndexPath path = *m_confirming;
    m_confirming.reset();
    if (auto cell = cellForRowAtIndexPath(path))
        cell->hideDeleteConfirmation();
    if (m_editing)
        return;
    if (const auto d = delegate())
        d->didEndEditingRowAtIndexPath(*this, path);
}

void TableView::cellEditingControlTapped(TableViewCell& cell)
{
    auto self = shared_from_this();
    const auto path = indexPathForCell(&cell);
    if (!path)
        return;
    const auto style = editingStyleFor(*path);
    if (style == TableViewCellEditingStyle::Insert) {
        if (const auto ds = dataSource())
            ds->commitEditingStyle(*this, style, *path);
        return;
    }
    if (m_confirming == path) {
        hideDeleteConfirmation();
        return;
    }
    showDeleteConfirmationForRowAtIndexPath(*path);
}

void TableView::cellDeleteConfirmed(TableViewCell& cell)
{
    auto self = shared_from_this();
    const auto path = indexPathForCell(&cell);
    if (!path)
        return;
    m_confirming.reset();
    cell.hideDeleteConfirmation();
    if (const auto ds = dataSource())
        ds->commitEditingStyle(*this, TableViewCellEditingStyle::Delete, *path);
    if (m_editing)
        return;
    if (const auto d = delegate())
        d->didEndEditingRowAtIndexPath(*this, *path);
}

void TableView::cellAccessoryTapped(TableViewCell& cell)
{
    auto self = shared_from_this();
    const auto path = indexPathForCell(&cell);
    if (!path)
        return;
    if (const auto d = delegate())
        d->accessoryButtonTappedForRowWithIndexPath(*this, *path);
}

} // namespace ui
