#include "components/tree/TreeView.h"

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNode.h"
#include "components/tree/TreeNodeCollectionController.h"
#include "components/tree/TreeNodeInfo.h"
#include "components/tree/TreeViewDataSource.h"
#include "components/tree/TreeViewDelegate.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/Transaction.h"

#include <utility>

namespace {
using Method = TreeViewDelegateMethod;
}

// ---- Creation ---------------------------------------------------------------------------

std::shared_ptr<TreeView> TreeView::create()
{
    return create(ui::Rect(0, 0, 100, 100));
}

std::shared_ptr<TreeView> TreeView::create(const ui::Rect& frame, TreeViewStyle style)
{
    std::shared_ptr<TreeView> view(new TreeView(frame));
    view->commonInit(ui::Rect(0, 0, frame.size.width, frame.size.height), style);
    return view;
}

TreeView::TreeView(const ui::Rect& frame)
    : ui::View(frame)
{
}

TreeView::~TreeView() = default;

void TreeView::commonInit(const ui::Rect& frame, TreeViewStyle style)
{
    m_tableView = ui::TableView::create(frame, tableViewStyleForTreeViewStyle(style));
    const auto self = std::static_pointer_cast<TreeView>(shared_from_this());
    // The table's protocols are private bases: callers talk to the tree, not to them.
    m_tableView->setDelegate(std::shared_ptr<ui::TableViewDelegate>(self, static_cast<ui::TableViewDelegate*>(self.get())));
    m_tableView->setDataSource(std::shared_ptr<ui::TableViewDataSource>(self, static_cast<ui::TableViewDataSource*>(self.get())));
    m_tableView->setAutoresizingMask(ui::Autoresizing::FlexibleWidth | ui::Autoresizing::FlexibleHeight);
    m_tableView->setBackgroundColor(ui::Color::clear());
    addSubview(m_tableView);
    m_rowsExpandingAnimation = TreeViewRowAnimation::Top;
    m_rowsCollapsingAnimation = TreeViewRowAnimation::Bottom;
}

// ---- Value maps -------------------------------------------------------------------------

ui::TableViewRowAnimation TreeView::tableViewRowAnimationForTreeViewRowAnimation(TreeViewRowAnimation animation)
{
    switch (animation) {
    case TreeViewRowAnimation::Right: return ui::TableViewRowAnimation::Right;
    case TreeViewRowAnimation::Left: return ui::TableViewRowAnimation::Left;
    case TreeViewRowAnimation::Top: return ui::TableViewRowAnimation::Top;
    case TreeViewRowAnimation::Bottom: return ui::TableViewRowAnimation::Bottom;
    case TreeViewRowAnimation::Middle: return ui::TableViewRowAnimation::Middle;
    case TreeViewRowAnimation::Automatic: return ui::TableViewRowAnimation::Automatic;
    case TreeViewRowAnimation::None: break;
    }
    return ui::TableViewRowAnimation::None;
}

TreeViewCellSeparatorStyle TreeView::treeViewCellSeparatorStyleForTableViewSeparatorStyle(ui::TableViewCellSeparatorStyle style)
{
    switch (style) {
    case ui::TableViewCellSeparatorStyle::SingleLine: return TreeViewCellSeparatorStyle::SingleLine;
    case ui::TableViewCellSeparatorStyle::SingleLineEtched: return TreeViewCellSeparatorStyle::SingleLineEtched;
    case ui::TableViewCellSeparatorStyle::None: break;
    }
    return TreeViewCellSeparatorStyle::None;
}

ui::TableViewCellSeparatorStyle TreeView::tableViewCellSeparatorStyleForTreeViewCellSeparatorStyle(TreeViewCellSeparatorStyle style)
{
    switch (style) {
    case TreeViewCellSeparatorStyle::SingleLine: return ui::TableViewCellSeparatorStyle::SingleLine;
    case TreeViewCellSeparatorStyle::SingleLineEtched: return ui::TableViewCellSeparatorStyle::SingleLineEtched;
    case TreeViewCellSeparatorStyle::None: break;
    }
    return ui::TableViewCellSeparatorStyle::None;
}

ui::TableViewStyle TreeView::tableViewStyleForTreeViewStyle(TreeViewStyle style)
{
    return style == TreeViewStyle::Grouped ? ui::TableViewStyle::Grouped : ui::TableViewStyle::Plain;
}

TreeViewStyle TreeView::treeViewStyleForTableViewStyle(ui::TableViewStyle style)
{
    return style == ui::TableViewStyle::Grouped ? TreeViewStyle::Grouped : TreeViewStyle::Plain;
}

ui::TableViewScrollPosition TreeView::tableViewScrollPositionForTreeViewScrollPosition(TreeViewScrollPosition position)
{
    switch (position) {
    case TreeViewScrollPosition::Top: return ui::TableViewScrollPosition::Top;
    case TreeViewScrollPosition::Middle: return ui::TableViewScrollPosition::Middle;
    case TreeViewScrollPosition::Bottom: return ui::TableViewScrollPosition::Bottom;
    case TreeViewScrollPosition::None: break;
    }
    return ui::TableViewScrollPosition::None;
}

TreeViewStyle TreeView::style() const
{
    return treeViewStyleForTableViewStyle(m_tableView->style());
}

TreeViewCellSeparatorStyle TreeView::separatorStyle() const
{
    return treeViewCellSeparatorStyleForTableViewSeparatorStyle(m_tableView->separatorStyle());
}

void TreeView::setSeparatorStyle(TreeViewCellSeparatorStyle style)
{
    m_tableView->setSeparatorStyle(tableViewCellSeparatorStyleForTreeViewCellSeparatorStyle(style));
}

// ---- Building and lookups ---------------------------------------------------------------

void TreeView::setupTreeStructure()
{
    // Held for the whole build so neither can go away half-way.
    const auto dataSource = m_dataSource.lock();
    const auto delegate = m_delegate.lock();
    TreeNodeCollectionController::Source source;
    source.numberOfChildren = [&](const Item& item) {
        return dataSource ? dataSource->numberOfChildrenOfItem(*this, item) : 0L;
    };
    source.child = [&](long index, const Item& item) {
        return dataSource ? dataSource->child(*this, index, item) : nullptr;
    };
    if (delegate) {
        source.shouldBeExpanded = [&](const Item& item, long treeDepthLevel) {
            return delegate->shouldItemBeExpandedAfterDataReload(*this, item, treeDepthLevel);
        };
    }
    m_treeNodeCollectionController = TreeNodeCollectionController::build(source);
}

void TreeView::reloadData()
{
    setupTreeStructure();
    m_tableView->reloadData();
}

std::shared_ptr<TreeNode> TreeView::treeNodeForIndex(long row) const
{
    if (!m_treeNodeCollectionController)
        return nullptr;
    return m_treeNodeCollectionController->treeNodeForIndex(row);
}

std::optional<ui::IndexPath> TreeView::indexPathForItem(const Item& item) const
{
    if (!m_treeNodeCollectionController)
        return std::nullopt;
    const long row = m_treeNodeCollectionController->indexForItem(item);
    if (row < 0)
        return std::nullopt;
    return ui::IndexPath::forRow(int(row), 0);
}

TreeView::Row TreeView::rowAt(const ui::IndexPath& indexPath) const
{
    const auto node = treeNodeForIndex(indexPath.row);
    if (!node)
        return {};
    const auto info = node->treeNodeInfo();
    return { node->item(), info };
}

// ---- Expanding and collapsing -----------------------------------------------------------

std::vector<ui::IndexPath> TreeView::pathsBelow(const TreeNode& node)
{
    std::vector<ui::IndexPath> paths;
    const long first = node.startIndex() + 1;
    const long last = node.endIndex();
    paths.reserve(std::size_t(std::max(0L, last - first + 1)));
    for (long row = first; row <= last; ++row)
        paths.push_back(ui::IndexPath::forRow(int(row), 0));
    return paths;
}

void TreeView::expandCellForTreeNode(const std::shared_ptr<TreeNode>& node)
{
    expandCellForTreeNode(node, m_rowsExpandingAnimation);
}

void TreeView::collapseCellForTreeNode(const std::shared_ptr<TreeNode>& node)
{
    collapseCellForTreeNode(node, m_rowsCollapsingAnimation);
}

void TreeView::expandCellForTreeNode(const std::shared_ptr<TreeNode>& node, TreeViewRowAnimation animation)
{
    m_tableView->beginUpdates();
    node->expand();
    m_tableView->insertRowsAtIndexPaths(pathsBelow(*node), tableViewRowAnimationForTreeViewRowAnimation(animation));
    m_tableView->endUpdates();
}

void TreeView::collapseCellForTreeNode(const std::shared_ptr<TreeNode>& node, TreeViewRowAnimation animation)
{
    m_tableView->beginUpdates();
    const auto paths = pathsBelow(*node);
    node->collapse();
    m_tableView->deleteRowsAtIndexPaths(paths, tableViewRowAnimationForTreeViewRowAnimation(animation));
    m_tableView->endUpdates();
}

void TreeView::expandCellForTreeNode(const std::shared_ptr<TreeNode>& node, bool informDelegate)
{
    changeRowsTellingDelegate(node, informDelegate, &TreeViewDelegate::willExpandRowForItem,
                              &TreeViewDelegate::didExpandRowForItem, [this, node] { expandCellForTreeNode(node); });
}

void TreeView::collapseCellForTreeNode(const std::shared_ptr<TreeNode>& node, bool informDelegate)
{
    changeRowsTellingDelegate(node, informDelegate, &TreeViewDelegate::willCollapseRowForItem,
                              &TreeViewDelegate::didCollapseRowForItem, [this, node] { collapseCellForTreeNode(node); });
}

void TreeView::changeRowsTellingDelegate(const std::shared_ptr<TreeNode>& node, bool informDelegate, RowNotice will,
                                         RowNotice did, const std::function<void()>& change)
{
    const auto self = std::static_pointer_cast<TreeView>(shared_from_this());
    if (informDelegate) {
        if (const auto delegate = m_delegate.lock())
            ((*delegate).*will)(*this, node->item(), node->treeNodeInfo());
    }
    ui::Transaction::begin();
    // The did-notice waits for the row animation. The block lives on the animations of the
    // table's cells, which this view owns: it holds the view weakly, or view, table, cells and
    // block would keep one another alive whenever an animation never ends (the run loop
    // dropped at quit). A view gone meanwhile has nobody to tell.
    std::weak_ptr<TreeView> weak = self;
    ui::Transaction::setCompletionBlock([weak, node, informDelegate, did] {
        const auto view = weak.lock();
        const auto delegate = view ? view->m_delegate.lock() : nullptr;
        if (delegate && informDelegate)
            ((*delegate).*did)(*view, node->item(), node->treeNodeInfo());
    });
    change();
    ui::Transaction::commit();
}

void TreeView::expandRowForItem(const Item& item)
{
    expandRowForItem(item, m_rowsExpandingAnimation);
}

void TreeView::expandRowForItem(const Item& item, TreeViewRowAnimation animation)
{
    const auto path = indexPathForItem(item);
    const auto node = path ? treeNodeForIndex(path->row) : nullptr;
    if (!node || node->isExpanded())
        return;
    expandCellForTreeNode(node, animation);
}

void TreeView::collapseRowForItem(const Item& item)
{
    collapseRowForItem(item, m_rowsCollapsingAnimation);
}

void TreeView::collapseRowForItem(const Item& item, TreeViewRowAnimation animation)
{
    const auto path = indexPathForItem(item);
    const auto node = path ? treeNodeForIndex(path->row) : nullptr;
    if (!node)
        return;
    collapseCellForTreeNode(node, animation);
}

// ---- Operations by item -----------------------------------------------------------------

std::shared_ptr<ui::TableViewCell> TreeView::cellForItem(const Item& item) const
{
    const auto path = indexPathForItem(item);
    return path ? m_tableView->cellForRowAtIndexPath(*path) : nullptr;
}

void TreeView::scrollToRowForItem(const Item& item, TreeViewScrollPosition position, bool animated)
{
    if (const auto path = indexPathForItem(item))
        m_tableView->scrollToRowAtIndexPath(*path, tableViewScrollPositionForTreeViewScrollPosition(position), animated);
}

void TreeView::scrollToNearestSelectedRowAtScrollPosition(TreeViewScrollPosition position, bool animated)
{
    m_tableView->scrollToNearestSelectedRowAtScrollPosition(tableViewScrollPositionForTreeViewScrollPosition(position), animated);
}

TreeView::Item TreeView::itemForSelectedRow() const
{
    const auto path = m_tableView->indexPathForSelectedRow();
    const auto node = path ? treeNodeForIndex(path->row) : nullptr;
    return node ? node->item() : nullptr;
}

std::vector<TreeView::Item> TreeView::itemsForSelectedRows() const
{
    std::vector<Item> items;
    for (const auto& path : m_tableView->indexPathsForSelectedRows()) {
        if (const auto node = treeNodeForIndex(path.row))
            items.push_back(node->item());
    }
    return items;
}

void TreeView::selectRowForItem(const Item& item, bool animated, TreeViewScrollPosition position)
{
    if (const auto path = indexPathForItem(item))
        m_tableView->selectRowAtIndexPath(path, animated, tableViewScrollPositionForTreeViewScrollPosition(position));
}

void TreeView::deselectRowForItem(const Item& item, bool animated)
{
    if (const auto path = indexPathForItem(item))
        m_tableView->deselectRowAtIndexPath(*path, animated);
}

void TreeView::reloadRowsForItems(const std::vector<Item>& items, TreeViewRowAnimation animation)
{
    std::vector<ui::IndexPath> paths;
    for (const auto& item : items) {
        if (const auto path = indexPathForItem(item))
            paths.push_back(*path);
    }
    if (paths.empty())
        return;
    m_tableView->reloadRowsAtIndexPaths(paths, tableViewRowAnimationForTreeViewRowAnimation(animation));
}

void TreeView::reloadRows()
{
    m_tableView->reloadSections({ 0 }, ui::TableViewRowAnimation::None);
}

long TreeView::numberOfRows() const
{
    return m_tableView->numberOfRowsInSection(0);
}

// ---- The table's data source ------------------------------------------------------------

int TreeView::numberOfSectionsInTableView(ui::TableView&)
{
    return 1;
}

int TreeView::numberOfRowsInSection(ui::TableView&, int)
{
    if (!m_treeNodeCollectionController)
        setupTreeStructure();
    return int(m_treeNodeCollectionController->numberOfRows());
}

std::shared_ptr<ui::TableViewCell> TreeView::cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    const auto dataSource = m_dataSource.lock();
    const auto row = rowAt(indexPath);
    std::shared_ptr<ui::TableViewCell> cell;
    if (dataSource && row)
        cell = dataSource->cellForItem(*this, row.item, row.info);
    // The table cannot show a row without a cell.
    return cell ? cell : ui::TableViewCell::create();
}

bool TreeView::canEditRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    const auto dataSource = m_dataSource.lock();
    const bool asks = dataSource && !dataSource->leavesUnanswered(TreeViewDataSource::Method::CanEditRowForItem);
    const auto row = asks ? rowAt(indexPath) : Row {};
    if (!row)
        return true;
    return dataSource->canEditRowForItem(*this, row.item, row.info).value_or(true);
}

void TreeView::commitEditingStyle(ui::TableView&, ui::TableViewCellEditingStyle style, const ui::IndexPath& indexPath)
{
    const auto dataSource = m_dataSource.lock();
    const bool asks = dataSource && !dataSource->leavesUnanswered(TreeViewDataSource::Method::CommitEditingStyle);
    if (const auto row = asks ? rowAt(indexPath) : Row {})
        dataSource->commitEditingStyle(*this, style, row.item, row.info);
}

// ---- The table's delegate ---------------------------------------------------------------
//
// Each callback asks the tree's delegate about the row's item; with no delegate, a method
// that the delegate leaves to its default, or no node on that row, the default answers. The
// row is looked up only when the delegate will be asked.

template <typename T, typename Ask>
T TreeView::askDelegate(const ui::IndexPath& indexPath, TreeViewDelegate::Method method, T fallback, Ask ask)
{
    const auto delegate = m_delegate.lock();
    const auto row = answers(delegate.get(), method) ? rowAt(indexPath) : Row {};
    if (!row)
        return fallback;
    return ask(*delegate, row).value_or(std::move(fallback));
}

template <typename Tell>
void TreeView::tellDelegate(const ui::IndexPath& indexPath, TreeViewDelegate::Method method, Tell tell)
{
    const auto delegate = m_delegate.lock();
    if (const auto row = answers(delegate.get(), method) ? rowAt(indexPath) : Row {})
        tell(*delegate, row);
}

// A method that has fallen through to its default once is never looked up for again.
bool TreeView::answers(const TreeViewDelegate* delegate, TreeViewDelegate::Method method)
{
    return delegate && !delegate->leavesUnanswered(method);
}

std::optional<double> TreeView::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return askDelegate(indexPath, Method::HeightForRowForItem, m_tableView->rowHeight(), [&](TreeViewDelegate& d, const Row& row) {
        return d.heightForRowForItem(*this, row.item, row.info);
    });
}

std::optional<double> TreeView::estimatedHeightForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return askDelegate(indexPath, Method::EstimatedHeightForRowForItem, ui::TableView::automaticDimension, [&](TreeViewDelegate& d, const Row& row) {
        return d.estimatedHeightForRowForItem(*this, row.item, row.info);
    });
}

int TreeView::indentationLevelForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return int(askDelegate(indexPath, Method::IndentationLevelForRowForItem, 0L, [&](TreeViewDelegate& d, const Row& row) {
        return d.indentationLevelForRowForItem(*this, row.item, row.info);
    }));
}

void TreeView::willDisplayCell(ui::TableView&, const std::shared_ptr<ui::TableViewCell>& cell, const ui::IndexPath& indexPath)
{
    tellDelegate(indexPath, Method::WillDisplayCell, [&](TreeViewDelegate& d, const Row& row) { d.willDisplayCell(*this, cell, row.item, row.info); });
}

void TreeView::didEndDisplayingCell(ui::TableView&, const std::shared_ptr<ui::TableViewCell>& cell, const ui::IndexPath& indexPath)
{
    tellDelegate(indexPath, Method::DidEndDisplayingCell, [&](TreeViewDelegate& d, const Row& row) { d.didEndDisplayingCell(*this, cell, row.item, row.info); });
}

void TreeView::accessoryButtonTappedForRowWithIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    tellDelegate(indexPath, Method::AccessoryButtonTappedForRowForItem, [&](TreeViewDelegate& d, const Row& row) { d.accessoryButtonTappedForRowForItem(*this, row.item, row.info); });
}

bool TreeView::shouldHighlightRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return askDelegate(indexPath, Method::ShouldHighlightRowForItem, true, [&](TreeViewDelegate& d, const Row& row) {
        return d.shouldHighlightRowForItem(*this, row.item, row.info);
    });
}

void TreeView::didHighlightRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    tellDelegate(indexPath, Method::DidHighlightRowForItem, [&](TreeViewDelegate& d, const Row& row) { d.didHighlightRowForItem(*this, row.item, row.info); });
}

void TreeView::didUnhighlightRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    tellDelegate(indexPath, Method::DidUnhighlightRowForItem, [&](TreeViewDelegate& d, const Row& row) { d.didUnhighlightRowForItem(*this, row.item, row.info); });
}

// The delegate may move a selection to another visible row, but not cancel it.
std::optional<ui::IndexPath> TreeView::willSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    const auto delegate = m_delegate.lock();
    const auto row = answers(delegate.get(), Method::WillSelectRowForItem) ? rowAt(indexPath) : Row {};
    if (!row)
        return indexPath;
    const auto self = shared_from_this();
    const auto moved = indexPathForItem(delegate->willSelectRowForItem(*this, row.item, row.info));
    return moved ? *moved : indexPath;
}

std::optional<ui::IndexPath> TreeView::willDeselectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    const auto delegate = m_delegate.lock();
    const auto row = answers(delegate.get(), Method::WillDeselectRowForItem) ? rowAt(indexPath) : Row {};
    if (!row)
        return indexPath;
    const auto self = shared_from_this();
    const auto moved = indexPathForItem(delegate->willDeselectRowForItem(*this, row.item, row.info));
    return moved ? *moved : indexPath;
}

// A tap: tell the delegate, then open or close a row that has children.
void TreeView::didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    const auto node = treeNodeForIndex(indexPath.row);
    if (!node)
        return;
    const auto self = shared_from_this();
    const auto delegate = m_delegate.lock();
    if (delegate)
        delegate->didSelectRowForItem(*this, node->item(), node->treeNodeInfo());
    if (node->treeNodeInfo()->children().empty())
        return;
    if (node->isExpanded()) {
        if (delegate && !delegate->shouldCollapaseRowForItem(*this, node->item(), node->treeNodeInfo()).value_or(true))
            return;
        collapseCellForTreeNode(node, true);
        return;
    }
    if (delegate && !delegate->shouldExpandRowForItem(*this, node->item(), node->treeNodeInfo()).value_or(true))
        return;
    expandCellForTreeNode(node, true);
}

void TreeView::didDeselectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    tellDelegate(indexPath, Method::DidDeselectRowForItem, [&](TreeViewDelegate& d, const Row& row) { d.didDeselectRowForItem(*this, row.item, row.info); });
}

ui::TableViewCellEditingStyle TreeView::editingStyleForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return askDelegate(indexPath, Method::EditingStyleForRowForItem, ui::TableViewCellEditingStyle::Delete, [&](TreeViewDelegate& d, const Row& row) {
        return d.editingStyleForRowForItem(*this, row.item, row.info);
    });
}

QString TreeView::titleForDeleteConfirmationButtonForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return askDelegate(indexPath, Method::TitleForDeleteConfirmationButtonForRowForItem, QStringLiteral("Delete"), [&](TreeViewDelegate& d, const Row& row) {
        return d.titleForDeleteConfirmationButtonForRowForItem(*this, row.item, row.info);
    });
}

bool TreeView::shouldIndentWhileEditingRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return askDelegate(indexPath, Method::ShouldIndentWhileEditingRowForItem, true, [&](TreeViewDelegate& d, const Row& row) {
        return d.shouldIndentWhileEditingRowForItem(*this, row.item, row.info);
    });
}

void TreeView::willBeginEditingRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    tellDelegate(indexPath, Method::WillBeginEditingRowForItem, [&](TreeViewDelegate& d, const Row& row) { d.willBeginEditingRowForItem(*this, row.item, row.info); });
}

void TreeView::didEndEditingRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    tellDelegate(indexPath, Method::DidEndEditingRowForItem, [&](TreeViewDelegate& d, const Row& row) { d.didEndEditingRowForItem(*this, row.item, row.info); });
}

bool TreeView::shouldShowMenuForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return askDelegate(indexPath, Method::ShouldShowMenuForRowForItem, false, [&](TreeViewDelegate& d, const Row& row) {
        return d.shouldShowMenuForRowForItem(*this, row.item, row.info);
    });
}

bool TreeView::canPerformAction(ui::TableView&, const QString& action, const ui::IndexPath& indexPath,
                                const std::shared_ptr<void>& sender)
{
    return askDelegate(indexPath, Method::CanPerformAction, false, [&](TreeViewDelegate& d, const Row& row) {
        return d.canPerformAction(*this, action, row.item, row.info, sender);
    });
}

void TreeView::performAction(ui::TableView&, const QString& action, const ui::IndexPath& indexPath,
                             const std::shared_ptr<void>& sender)
{
    tellDelegate(indexPath, Method::PerformAction, [&](TreeViewDelegate& d, const Row& row) { d.performAction(*this, action, row.item, row.info, sender); });
}

// ---- Scroll callbacks -------------------------------------------------------------------

void TreeView::scrollViewDidScroll(ui::ScrollView& scrollView)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewDidScroll(scrollView);
}

void TreeView::scrollViewWillBeginDragging(ui::ScrollView& scrollView)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewWillBeginDragging(scrollView);
}

void TreeView::scrollViewWillEndDragging(ui::ScrollView& scrollView, ui::Point velocity, ui::Point& targetContentOffset)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewWillEndDragging(scrollView, velocity, targetContentOffset);
}

bool TreeView::scrollViewShouldScrollToTop(ui::ScrollView& scrollView)
{
    const auto delegate = m_delegate.lock();
    return delegate ? delegate->scrollViewShouldScrollToTop(scrollView) : true;
}

void TreeView::scrollViewDidScrollToTop(ui::ScrollView& scrollView)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewDidScrollToTop(scrollView);
}

void TreeView::scrollViewWillBeginDecelerating(ui::ScrollView& scrollView)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewWillBeginDecelerating(scrollView);
}

void TreeView::scrollViewDidEndDecelerating(ui::ScrollView& scrollView)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewDidEndDecelerating(scrollView);
}

std::shared_ptr<ui::View> TreeView::viewForZoomingInScrollView(ui::ScrollView& scrollView)
{
    const auto delegate = m_delegate.lock();
    return delegate ? delegate->viewForZoomingInScrollView(scrollView) : nullptr;
}

void TreeView::scrollViewWillBeginZooming(ui::ScrollView& scrollView, const std::shared_ptr<ui::View>& view)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewWillBeginZooming(scrollView, view);
}

void TreeView::scrollViewDidEndZooming(ui::ScrollView& scrollView, const std::shared_ptr<ui::View>& view, double scale)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewDidEndZooming(scrollView, view, scale);
}

void TreeView::scrollViewDidZoom(ui::ScrollView& scrollView)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewDidZoom(scrollView);
}

void TreeView::scrollViewDidEndScrollingAnimation(ui::ScrollView& scrollView)
{
    if (const auto delegate = m_delegate.lock())
        delegate->scrollViewDidEndScrollingAnimation(scrollView);
}

// ---- Table and scroll view pass-through -------------------------------------------------

ui::Color TreeView::separatorColor() const { return m_tableView->separatorColor(); }
void TreeView::setSeparatorColor(const ui::Color& color) { m_tableView->setSeparatorColor(color); }
double TreeView::rowHeight() const { return m_tableView->rowHeight(); }
void TreeView::setRowHeight(double height) { m_tableView->setRowHeight(height); }
double TreeView::estimatedRowHeight() const { return m_tableView->estimatedRowHeight(); }
void TreeView::setEstimatedRowHeight(double height) { m_tableView->setEstimatedRowHeight(height); }
ui::EdgeInsets TreeView::separatorInset() const { return m_tableView->separatorInset(); }
void TreeView::setSeparatorInset(const ui::EdgeInsets& inset) { m_tableView->setSeparatorInset(inset); }
std::shared_ptr<ui::View> TreeView::backgroundView() const { return m_tableView->backgroundView(); }
void TreeView::setBackgroundView(const std::shared_ptr<ui::View>& view) { m_tableView->setBackgroundView(view); }
bool TreeView::allowsSelection() const { return m_tableView->allowsSelection(); }
void TreeView::setAllowsSelection(bool allows) { m_tableView->setAllowsSelection(allows); }
bool TreeView::allowsMultipleSelection() const { return m_tableView->allowsMultipleSelection(); }
void TreeView::setAllowsMultipleSelection(bool allows) { m_tableView->setAllowsMultipleSelection(allows); }
bool TreeView::allowsSelectionDuringEditing() const { return m_tableView->allowsSelectionDuringEditing(); }
void TreeView::setAllowsSelectionDuringEditing(bool allows) { m_tableView->setAllowsSelectionDuringEditing(allows); }
bool TreeView::allowsMultipleSelectionDuringEditing() const { return m_tableView->allowsMultipleSelectionDuringEditing(); }
void TreeView::setAllowsMultipleSelectionDuringEditing(bool allows) { m_tableView->setAllowsMultipleSelectionDuringEditing(allows); }
bool TreeView::isEditing() const { return m_tableView->isEditing(); }
void TreeView::setEditing(bool editing) { m_tableView->setEditing(editing); }
void TreeView::setEditing(bool editing, bool animated) { m_tableView->setEditing(editing, animated); }
std::shared_ptr<ui::View> TreeView::treeHeaderView() const { return m_tableView->tableHeaderView(); }
void TreeView::setTreeHeaderView(const std::shared_ptr<ui::View>& view) { m_tableView->setTableHeaderView(view); }
std::shared_ptr<ui::View> TreeView::treeFooterView() const { return m_tableView->tableFooterView(); }
void TreeView::setTreeFooterView(const std::shared_ptr<ui::View>& view) { m_tableView->setTableFooterView(view); }

void TreeView::registerClass(std::function<std::shared_ptr<ui::TableViewCell>(const QString&)> factory, const QString& identifier)
{
    m_tableView->registerClass(std::move(factory), identifier);
}

std::shared_ptr<ui::TableViewCell> TreeView::dequeueReusableCellWithIdentifier(const QString& identifier)
{
    return m_tableView->dequeueReusableCellWithIdentifier(identifier);
}

void TreeView::registerClassForHeaderFooterView(std::function<std::shared_ptr<ui::View>(const QString&)> factory, const QString& identifier)
{
    m_tableView->registerClassForHeaderFooterView(std::move(factory), identifier);
}

std::shared_ptr<ui::View> TreeView::dequeueReusableHeaderFooterViewWithIdentifier(const QString& identifier)
{
    return m_tableView->dequeueReusableHeaderFooterViewWithIdentifier(identifier);
}

void TreeView::registerNib(const QString& layoutName, const QString& identifier)
{
    m_tableView->registerNib(layoutName, identifier);
}

void TreeView::registerNibForHeaderFooterView(const QString& layoutName, const QString& identifier)
{
    m_tableView->registerNibForHeaderFooterView(layoutName, identifier);
}

void TreeView::registerLayoutClass()
{
    // The file's frame arrives after creation; the table, made at the tree's size and resizing
    // with it, then takes the same bounds.
    ui::Nib::registerClass(QStringLiteral("TreeView"), [] { return create(); });
}

std::vector<std::shared_ptr<ui::TableViewCell>> TreeView::visibleCells() const { return m_tableView->visibleCells(); }

ui::Point TreeView::contentOffset() const { return m_tableView->contentOffset(); }
void TreeView::setContentOffset(const ui::Point& offset) { m_tableView->setContentOffset(offset); }
void TreeView::setContentOffset(const ui::Point& offset, bool animated) { m_tableView->setContentOffset(offset, animated); }
ui::Size TreeView::contentSize() const { return m_tableView->contentSize(); }
void TreeView::setContentSize(const ui::Size& size) { m_tableView->setContentSize(size); }
ui::EdgeInsets TreeView::contentInset() const { return m_tableView->contentInset(); }
void TreeView::setContentInset(const ui::EdgeInsets& inset) { m_tableView->setContentInset(inset); }
bool TreeView::scrollEnabled() const { return m_tableView->isScrollEnabled(); }
void TreeView::setScrollEnabled(bool enabled) { m_tableView->setScrollEnabled(enabled); }
bool TreeView::directionalLockEnabled() const { return m_tableView->isDirectionalLockEnabled(); }
void TreeView::setDirectionalLockEnabled(bool enabled) { m_tableView->setDirectionalLockEnabled(enabled); }
bool TreeView::scrollsToTop() const { return m_tableView->scrollsToTop(); }
void TreeView::setScrollsToTop(bool scrolls) { m_tableView->setScrollsToTop(scrolls); }
bool TreeView::pagingEnabled() const { return m_tableView->isPagingEnabled(); }
void TreeView::setPagingEnabled(bool enabled) { m_tableView->setPagingEnabled(enabled); }
bool TreeView::bounces() const { return m_tableView->bounces(); }
void TreeView::setBounces(bool bounces) { m_tableView->setBounces(bounces); }
bool TreeView::alwaysBounceVertical() const { return m_tableView->alwaysBounceVertical(); }
void TreeView::setAlwaysBounceVertical(bool bounces) { m_tableView->setAlwaysBounceVertical(bounces); }
bool TreeView::alwaysBounceHorizontal() const { return m_tableView->alwaysBounceHorizontal(); }
void TreeView::setAlwaysBounceHorizontal(bool bounces) { m_tableView->setAlwaysBounceHorizontal(bounces); }
bool TreeView::canCancelContentTouches() const { return m_tableView->canCancelContentTouches(); }
void TreeView::setCanCancelContentTouches(bool can) { m_tableView->setCanCancelContentTouches(can); }
bool TreeView::delaysContentTouches() const { return m_tableView->delaysContentTouches(); }
void TreeView::setDelaysContentTouches(bool delays) { m_tableView->setDelaysContentTouches(delays); }
double TreeView::decelerationRate() const { return m_tableView->decelerationRate(); }
void TreeView::setDecelerationRate(double rate) { m_tableView->setDecelerationRate(rate); }
ui::ScrollViewIndicatorStyle TreeView::indicatorStyle() const { return m_tableView->indicatorStyle(); }
void TreeView::setIndicatorStyle(ui::ScrollViewIndicatorStyle style) { m_tableView->setIndicatorStyle(style); }
ui::EdgeInsets TreeView::scrollIndicatorInsets() const { return m_tableView->scrollIndicatorInsets(); }
void TreeView::setScrollIndicatorInsets(const ui::EdgeInsets& insets) { m_tableView->setScrollIndicatorInsets(insets); }
bool TreeView::showsHorizontalScrollIndicator() const { return m_tableView->showsHorizontalScrollIndicator(); }
void TreeView::setShowsHorizontalScrollIndicator(bool shows) { m_tableView->setShowsHorizontalScrollIndicator(shows); }
bool TreeView::showsVerticalScrollIndicator() const { return m_tableView->showsVerticalScrollIndicator(); }
void TreeView::setShowsVerticalScrollIndicator(bool shows) { m_tableView->setShowsVerticalScrollIndicator(shows); }
double TreeView::zoomScale() const { return m_tableView->zoomScale(); }
void TreeView::setZoomScale(double scale) { m_tableView->setZoomScale(scale); }
void TreeView::setZoomScale(double scale, bool animated) { m_tableView->setZoomScale(scale, animated); }
double TreeView::maximumZoomScale() const { return m_tableView->maximumZoomScale(); }
void TreeView::setMaximumZoomScale(double scale) { m_tableView->setMaximumZoomScale(scale); }
double TreeView::minimumZoomScale() const { return m_tableView->minimumZoomScale(); }
void TreeView::setMinimumZoomScale(double scale) { m_tableView->setMinimumZoomScale(scale); }
bool TreeView::bouncesZoom() const { return m_tableView->bouncesZoom(); }
void TreeView::setBouncesZoom(bool bounces) { m_tableView->setBouncesZoom(bounces); }
bool TreeView::dragging() const { return m_tableView->isDragging(); }
bool TreeView::tracking() const { return m_tableView->isTracking(); }
bool TreeView::decelerating() const { return m_tableView->isDecelerating(); }
bool TreeView::zoomBouncing() const { return m_tableView->isZoomBouncing(); }
bool TreeView::zooming() const { return m_tableView->isZooming(); }
std::shared_ptr<ui::PanGestureRecognizer> TreeView::panGestureRecognizer() const { return m_tableView->panGestureRecognizer(); }
std::shared_ptr<ui::GestureRecognizer> TreeView::pinchGestureRecognizer() const { return m_tableView->pinchGestureRecognizer(); }
void TreeView::scrollRectToVisible(const ui::Rect& rect, bool animated) { m_tableView->scrollRectToVisible(rect, animated); }
void TreeView::flashScrollIndicators() { m_tableView->flashScrollIndicators(); }
void TreeView::zoomToRect(const ui::Rect& rect, bool animated) { m_tableView->zoomToRect(rect, animated); }
