#include "platform/ui/TableView.h"

#include "platform/core/Log.h"
#include "platform/ui/Layer.h"
#include "platform/ui/NibCellFactory.h"
#include "platform/ui/TableRowEditing.h"
#include "platform/ui/TableRowSelection.h"
#include "platform/ui/TableRowUpdates.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"

#include <algorithm>

namespace ui {

namespace {

constexpr double kPlainHeaderFooterHeight = 22;
constexpr double kGroupedHeaderFooterHeight = 18;
constexpr std::size_t kMinimumPool = 8;

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
    , m_rowUpdates(std::make_unique<TableRowUpdates>(*this))
    , m_rowSelection(std::make_unique<TableRowSelection>(*this))
    , m_rowEditing(std::make_unique<TableRowEditing>(*this))
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

void TableView::registerNib(const QString& layoutName, const QString& identifier)
{
    auto factory = NibCellFactory::cell(layoutName);
    registerClass(factory ? CellFactory([factory](const QString& id) {
        auto cell = factory(id);
        // The pool files a cell under its own identifier, so a cell from the file must carry one.
        if (cell && cell->m_reuseIdentifier.isEmpty())
            cell->m_reuseIdentifier = id;
        return cell;
    }) : nullptr, identifier);
}

void TableView::registerNibForHeaderFooterView(const QString& layoutName, const QString& identifier)
{
    registerClassForHeaderFooterView(NibCellFactory::headerFooterView(layoutName), identifier);
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
    const bool editable = m_editing && m_rowEditing->canEdit(path);
    const bool indents = !d || d->shouldIndentWhileEditingRowAtIndexPath(*this, path);
    cell->setEditingState(editable, editable ? m_rowEditing->editingStyleFor(path) : TableViewCellEditingStyle::None, indents);
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
    m_rowUpdates->reloadRowsAtIndexPaths(paths, animation);
}

void TableView::reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation)
{
    m_rowUpdates->reloadSections(sections, animation);
}

void TableView::beginUpdates()
{
    m_rowUpdates->beginUpdates();
}

void TableView::endUpdates()
{
    m_rowUpdates->endUpdates();
}

void TableView::insertRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation)
{
    m_rowUpdates->insertRowsAtIndexPaths(paths, animation);
}

void TableView::deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation)
{
    m_rowUpdates->deleteRowsAtIndexPaths(paths, animation);
}

// ---- selection -----------------------------------------------------------------------------

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
    m_rowSelection->selectRowAtIndexPath(path, animated, position);
}

void TableView::deselectRowAtIndexPath(const IndexPath& path, bool animated)
{
    m_rowSelection->deselectRowAtIndexPath(path, animated);
}

void TableView::cellTouchBegan(TableViewCell& cell)
{
    m_rowSelection->cellTouchBegan(cell);
}

void TableView::cellTouchEnded(TableViewCell& cell, bool inside)
{
    m_rowSelection->cellTouchEnded(cell, inside);
}

// ---- editing -------------------------------------------------------------------------------

void TableView::setEditing(bool editing)
{
    setEditing(editing, false);
}

void TableView::setEditing(bool editing, bool animated)
{
    m_rowEditing->setEditing(editing, animated);
}

void TableView::showDeleteConfirmationForRowAtIndexPath(const IndexPath& path)
{
    m_rowEditing->showDeleteConfirmationForRowAtIndexPath(path);
}

void TableView::hideDeleteConfirmation()
{
    m_rowEditing->hideDeleteConfirmation();
}

void TableView::cellEditingControlTapped(TableViewCell& cell)
{
    m_rowEditing->cellEditingControlTapped(cell);
}

void TableView::cellDeleteConfirmed(TableViewCell& cell)
{
    m_rowEditing->cellDeleteConfirmed(cell);
}

void TableView::cellAccessoryTapped(TableViewCell& cell)
{
    m_rowEditing->cellAccessoryTapped(cell);
}

} // namespace ui
