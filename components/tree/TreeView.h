#pragma once

#include "platform/ui/Geometry.h"
#include "platform/ui/IndexPath.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/View.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class TreeItem;
class TreeNode;
class TreeNodeCollectionController;
class TreeNodeInfo;
class TreeViewDataSource;
class TreeViewDelegate;
enum class TreeViewDelegateMethod : unsigned;

namespace ui {
class GestureRecognizer;
class PanGestureRecognizer;
class ScrollView;
class TableView;
class TableViewCell;
enum class ScrollViewIndicatorStyle;
enum class TableViewCellSeparatorStyle;
enum class TableViewRowAnimation;
enum class TableViewScrollPosition;
enum class TableViewStyle;
}

// The tree view's own values; any value outside a list maps as its 0.
enum class TreeViewRowAnimation : std::int32_t { None = 0, Right = 1, Left = 2, Top = 3, Bottom = 4, Middle = 5, Automatic = 6 };
enum class TreeViewCellSeparatorStyle : std::int32_t { None = 0, SingleLine = 1, SingleLineEtched = 2 };
enum class TreeViewStyle : std::int32_t { Plain = 0, Grouped = 1 };
enum class TreeViewScrollPosition : std::int32_t { None = 0, Top = 1, Middle = 2, Bottom = 3 };

// An expandable list of client items over one table of one section. The table asks in
// rows; the tree view answers by asking its data source and delegate in items, handing over
// each row's TreeNodeInfo. A tap on a row with children expands or collapses it with
// animated row inserts and deletes; the delegate hears will- before and did- once the row
// animation has ended. Data source and delegate are weak.
class TreeView : public ui::View, private ui::TableViewDataSource, private ui::TableViewDelegate {
public:
    using Item = std::shared_ptr<TreeItem>;

    // (0, 0, 100, 100), plain.
    static std::shared_ptr<TreeView> create();
    static std::shared_ptr<TreeView> create(const ui::Rect& frame, TreeViewStyle style = TreeViewStyle::Plain);
    ~TreeView() override;

    std::shared_ptr<TreeViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<TreeViewDataSource>& dataSource) { m_dataSource = dataSource; }
    std::shared_ptr<TreeViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<TreeViewDelegate>& delegate) { m_delegate = delegate; }

    TreeViewRowAnimation rowsExpandingAnimation() const { return m_rowsExpandingAnimation; }
    void setRowsExpandingAnimation(TreeViewRowAnimation animation) { m_rowsExpandingAnimation = animation; }
    TreeViewRowAnimation rowsCollapsingAnimation() const { return m_rowsCollapsingAnimation; }
    void setRowsCollapsingAnimation(TreeViewRowAnimation animation) { m_rowsCollapsingAnimation = animation; }

    TreeViewStyle style() const;
    TreeViewCellSeparatorStyle separatorStyle() const;
    void setSeparatorStyle(TreeViewCellSeparatorStyle style);

    // Builds a new tree from the data source (expansion survives only through the
    // delegate's expanded-after-reload answers), then reloads the table.
    void reloadData();

    // Without delegate calls. An item on no visible row changes nothing.
    void expandRowForItem(const Item& item);
    void expandRowForItem(const Item& item, TreeViewRowAnimation animation);
    void collapseRowForItem(const Item& item);
    void collapseRowForItem(const Item& item, TreeViewRowAnimation animation);

    // Operations by item; an item on no visible row is ignored (or gives nothing).
    std::shared_ptr<ui::TableViewCell> cellForItem(const Item& item) const;
    void scrollToRowForItem(const Item& item, TreeViewScrollPosition position, bool animated);
    void scrollToNearestSelectedRowAtScrollPosition(TreeViewScrollPosition position, bool animated);
    // Null when no row is selected.
    Item itemForSelectedRow() const;
    std::vector<Item> itemsForSelectedRows() const;
    void selectRowForItem(const Item& item, bool animated, TreeViewScrollPosition position);
    void deselectRowForItem(const Item& item, bool animated);
    // The tree is not rebuilt.
    void reloadRowsForItems(const std::vector<Item>& items, TreeViewRowAnimation animation);
    void reloadRows();
    long numberOfRows() const;

    // The table's properties and operations, unchanged.
    ui::Color separatorColor() const;
    void setSeparatorColor(const ui::Color& color);
    double rowHeight() const;
    void setRowHeight(double height);
    double estimatedRowHeight() const;
    void setEstimatedRowHeight(double height);
    ui::EdgeInsets separatorInset() const;
    void setSeparatorInset(const ui::EdgeInsets& inset);
    std::shared_ptr<ui::View> backgroundView() const;
    void setBackgroundView(const std::shared_ptr<ui::View>& view);
    bool allowsSelection() const;
    void setAllowsSelection(bool allows);
    bool allowsMultipleSelection() const;
    void setAllowsMultipleSelection(bool allows);
    bool allowsSelectionDuringEditing() const;
    void setAllowsSelectionDuringEditing(bool allows);
    bool allowsMultipleSelectionDuringEditing() const;
    void setAllowsMultipleSelectionDuringEditing(bool allows);
    bool isEditing() const;
    void setEditing(bool editing);
    void setEditing(bool editing, bool animated);
    std::shared_ptr<ui::View> treeHeaderView() const;
    void setTreeHeaderView(const std::shared_ptr<ui::View>& view);
    std::shared_ptr<ui::View> treeFooterView() const;
    void setTreeFooterView(const std::shared_ptr<ui::View>& view);
    void registerClass(std::function<std::shared_ptr<ui::TableViewCell>(const QString&)> factory, const QString& identifier);
    std::shared_ptr<ui::TableViewCell> dequeueReusableCellWithIdentifier(const QString& identifier);
    void registerClassForHeaderFooterView(std::function<std::shared_ptr<ui::View>(const QString&)> factory, const QString& identifier);
    std::shared_ptr<ui::View> dequeueReusableHeaderFooterViewWithIdentifier(const QString& identifier);
    std::vector<std::shared_ptr<ui::TableViewCell>> visibleCells() const;
    // Cells and header or footer views built from a layout file, by its name.
    void registerNib(const QString& layoutName, const QString& identifier);
    void registerNibForHeaderFooterView(const QString& layoutName, const QString& identifier);

    // Lets layout files name the class "TreeView": a tree built from a file, plain, whose
    // table fills the frame the file gives it. Call once before loading such a file.
    static void registerLayoutClass();

    // The table's scroll view properties and operations, unchanged.
    ui::Point contentOffset() const;
    void setContentOffset(const ui::Point& offset);
    void setContentOffset(const ui::Point& offset, bool animated);
    ui::Size contentSize() const;
    void setContentSize(const ui::Size& size);
    ui::EdgeInsets contentInset() const;
    void setContentInset(const ui::EdgeInsets& inset);
    bool scrollEnabled() const;
    void setScrollEnabled(bool enabled);
    bool directionalLockEnabled() const;
    void setDirectionalLockEnabled(bool enabled);
    bool scrollsToTop() const;
    void setScrollsToTop(bool scrolls);
    bool pagingEnabled() const;
    void setPagingEnabled(bool enabled);
    bool bounces() const;
    void setBounces(bool bounces);
    bool alwaysBounceVertical() const;
    void setAlwaysBounceVertical(bool bounces);
    bool alwaysBounceHorizontal() const;
    void setAlwaysBounceHorizontal(bool bounces);
    bool canCancelContentTouches() const;
    void setCanCancelContentTouches(bool can);
    bool delaysContentTouches() const;
    void setDelaysContentTouches(bool delays);
    double decelerationRate() const;
    void setDecelerationRate(double rate);
    ui::ScrollViewIndicatorStyle indicatorStyle() const;
    void setIndicatorStyle(ui::ScrollViewIndicatorStyle style);
    ui::EdgeInsets scrollIndicatorInsets() const;
    void setScrollIndicatorInsets(const ui::EdgeInsets& insets);
    bool showsHorizontalScrollIndicator() const;
    void setShowsHorizontalScrollIndicator(bool shows);
    bool showsVerticalScrollIndicator() const;
    void setShowsVerticalScrollIndicator(bool shows);
    double zoomScale() const;
    void setZoomScale(double scale);
    void setZoomScale(double scale, bool animated);
    double maximumZoomScale() const;
    void setMaximumZoomScale(double scale);
    double minimumZoomScale() const;
    void setMinimumZoomScale(double scale);
    bool bouncesZoom() const;
    void setBouncesZoom(bool bounces);
    bool dragging() const;
    bool tracking() const;
    bool decelerating() const;
    bool zoomBouncing() const;
    bool zooming() const;
    std::shared_ptr<ui::PanGestureRecognizer> panGestureRecognizer() const;
    std::shared_ptr<ui::GestureRecognizer> pinchGestureRecognizer() const;
    void scrollRectToVisible(const ui::Rect& rect, bool animated);
    void flashScrollIndicators();
    void zoomToRect(const ui::Rect& rect, bool animated);

    // Value maps between the tree view's enumerations and the table's.
    static ui::TableViewRowAnimation tableViewRowAnimationForTreeViewRowAnimation(TreeViewRowAnimation animation);
    static TreeViewCellSeparatorStyle treeViewCellSeparatorStyleForTableViewSeparatorStyle(ui::TableViewCellSeparatorStyle style);
    static ui::TableViewCellSeparatorStyle tableViewCellSeparatorStyleForTreeViewCellSeparatorStyle(TreeViewCellSeparatorStyle style);
    static ui::TableViewStyle tableViewStyleForTreeViewStyle(TreeViewStyle style);
    static TreeViewStyle treeViewStyleForTableViewStyle(ui::TableViewStyle style);
    static ui::TableViewScrollPosition tableViewScrollPositionForTreeViewScrollPosition(TreeViewScrollPosition position);

protected:
    explicit TreeView(const ui::Rect& frame);

private:
    struct Row {
        Item item;
        std::shared_ptr<TreeNodeInfo> info;
        explicit operator bool() const { return info != nullptr; }
    };

    void commonInit(const ui::Rect& frame, TreeViewStyle style);

    // Building and lookups.
    void setupTreeStructure();
    std::shared_ptr<TreeNode> treeNodeForIndex(long row) const;
    std::optional<ui::IndexPath> indexPathForItem(const Item& item) const;
    Row rowAt(const ui::IndexPath& indexPath) const;
    // The row callbacks' common part: with no delegate, a method the delegate is known to
    // leave to its default (no row lookup then), or no node on the row, the fallback answers
    // (a question) or nobody is told (a notice).
    template <typename T, typename Ask>
    T askDelegate(const ui::IndexPath& indexPath, TreeViewDelegateMethod method, T fallback, Ask ask);
    template <typename Tell>
    void tellDelegate(const ui::IndexPath& indexPath, TreeViewDelegateMethod method, Tell tell);
    static bool answers(const TreeViewDelegate* delegate, TreeViewDelegateMethod method);

    // Row changes (table updates), and the tap-driven forms that tell the delegate.
    void expandCellForTreeNode(const std::shared_ptr<TreeNode>& node);
    void collapseCellForTreeNode(const std::shared_ptr<TreeNode>& node);
    void expandCellForTreeNode(const std::shared_ptr<TreeNode>& node, TreeViewRowAnimation animation);
    void collapseCellForTreeNode(const std::shared_ptr<TreeNode>& node, TreeViewRowAnimation animation);
    void expandCellForTreeNode(const std::shared_ptr<TreeNode>& node, bool informDelegate);
    void collapseCellForTreeNode(const std::shared_ptr<TreeNode>& node, bool informDelegate);
    using RowNotice = void (TreeViewDelegate::*)(TreeView&, const Item&, const std::shared_ptr<TreeNodeInfo>&);
    void changeRowsTellingDelegate(const std::shared_ptr<TreeNode>& node, bool informDelegate, RowNotice will,
                                   RowNotice did, const std::function<void()>& change);
    static std::vector<ui::IndexPath> pathsBelow(const TreeNode& node);

    // The table's data source.
    int numberOfSectionsInTableView(ui::TableView&) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    bool canEditRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    void commitEditingStyle(ui::TableView&, ui::TableViewCellEditingStyle style, const ui::IndexPath& indexPath) override;

    // The table's delegate: each row callback goes to the tree's delegate by item.
    std::optional<double> heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    std::optional<double> estimatedHeightForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    int indentationLevelForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    void willDisplayCell(ui::TableView&, const std::shared_ptr<ui::TableViewCell>& cell, const ui::IndexPath& indexPath) override;
    void didEndDisplayingCell(ui::TableView&, const std::shared_ptr<ui::TableViewCell>& cell, const ui::IndexPath& indexPath) override;
    void accessoryButtonTappedForRowWithIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    bool shouldHighlightRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    void didHighlightRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    void didUnhighlightRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    std::optional<ui::IndexPath> willSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    std::optional<ui::IndexPath> willDeselectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    void didDeselectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    ui::TableViewCellEditingStyle editingStyleForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    QString titleForDeleteConfirmationButtonForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    bool shouldIndentWhileEditingRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    void willBeginEditingRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    void didEndEditingRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    bool shouldShowMenuForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath) override;
    bool canPerformAction(ui::TableView&, const QString& action, const ui::IndexPath& indexPath,
                          const std::shared_ptr<void>& sender) override;
    void performAction(ui::TableView&, const QString& action, const ui::IndexPath& indexPath,
                       const std::shared_ptr<void>& sender) override;

    // Scroll callbacks passed on (all but scrollViewDidEndDragging).
    void scrollViewDidScroll(ui::ScrollView& scrollView) override;
    void scrollViewWillBeginDragging(ui::ScrollView& scrollView) override;
    void scrollViewWillEndDragging(ui::ScrollView& scrollView, ui::Point velocity, ui::Point& targetContentOffset) override;
    bool scrollViewShouldScrollToTop(ui::ScrollView& scrollView) override;
    void scrollViewDidScrollToTop(ui::ScrollView& scrollView) override;
    void scrollViewWillBeginDecelerating(ui::ScrollView& scrollView) override;
    void scrollViewDidEndDecelerating(ui::ScrollView& scrollView) override;
    std::shared_ptr<ui::View> viewForZoomingInScrollView(ui::ScrollView& scrollView) override;
    void scrollViewWillBeginZooming(ui::ScrollView& scrollView, const std::shared_ptr<ui::View>& view) override;
    void scrollViewDidEndZooming(ui::ScrollView& scrollView, const std::shared_ptr<ui::View>& view, double scale) override;
    void scrollViewDidZoom(ui::ScrollView& scrollView) override;
    void scrollViewDidEndScrollingAnimation(ui::ScrollView& scrollView) override;

    std::weak_ptr<TreeViewDataSource> m_dataSource;
    std::weak_ptr<TreeViewDelegate> m_delegate;
    TreeViewRowAnimation m_rowsExpandingAnimation = TreeViewRowAnimation::Top;
    TreeViewRowAnimation m_rowsCollapsingAnimation = TreeViewRowAnimation::Bottom;
    std::shared_ptr<ui::TableView> m_tableView;
    std::unique_ptr<TreeNodeCollectionController> m_treeNodeCollectionController;
};
