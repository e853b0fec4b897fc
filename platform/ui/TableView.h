#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableViewCell.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <unordered_map>
#include <vector>

namespace ui {

class TableRowEditing;
class TableRowSelection;
class TableRowUpdates;
class TableViewDataSource;
class TableViewDelegate;

enum class TableViewStyle { Plain = 0, Grouped = 1 };
// Row animations with the phone's values.
enum class TableViewRowAnimation { Fade = 0, Right = 1, Left = 2, Top = 3, Bottom = 4, None = 5, Middle = 6, Automatic = 100 };
enum class TableViewScrollPosition { None = 0, Top = 1, Middle = 2, Bottom = 3 };

// A vertical list of sections of rows over a scroll view.
//
// The table asks its data source for counts and cells and its delegate for heights, headers
// and footers, and keeps every row's offset in per-section running sums: laying out asks for
// cells only for the rows on screen, and scrolling finds them by binary search, so tables of
// thousands of rows scroll cheaply. Cells that leave the screen wait in a pool per reuse
// identifier for dequeueReusableCellWithIdentifier.
//
// Row insertions and deletions inside beginUpdates()/endUpdates() (or alone) update the model
// incrementally and animate the rows inside a Transaction: a caller that opens its own
// Transaction around the update gets its completion block once the row animation has ended.
class TableView : public ScrollView {
public:
    using CellFactory = std::function<std::shared_ptr<TableViewCell>(const QString& reuseIdentifier)>;
    using ViewFactory = std::function<std::shared_ptr<View>(const QString& reuseIdentifier)>;
    static constexpr double automaticDimension = -1;
    static constexpr double kRowAnimationDuration = 0.3;

    static std::shared_ptr<TableView> create(const Rect& frame = Rect(), TableViewStyle style = TableViewStyle::Plain);
    ~TableView() override;

    TableViewStyle style() const { return m_style; }

    std::shared_ptr<TableViewDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<TableViewDataSource>& dataSource);
    std::shared_ptr<TableViewDelegate> delegate() const { return m_tableDelegate.lock(); }
    void setDelegate(const std::shared_ptr<TableViewDelegate>& delegate);

    // Metrics used when the delegate does not answer.
    double rowHeight() const { return m_rowHeight; }
    void setRowHeight(double height);
    double estimatedRowHeight() const { return m_estimatedRowHeight; }
    void setEstimatedRowHeight(double height) { m_estimatedRowHeight = height; }
    double sectionHeaderHeight() const { return m_sectionHeaderHeight; }
    void setSectionHeaderHeight(double height);
    double sectionFooterHeight() const { return m_sectionFooterHeight; }
    void setSectionFooterHeight(double height);

    TableViewCellSeparatorStyle separatorStyle() const { return m_look.separatorStyle; }
    void setSeparatorStyle(TableViewCellSeparatorStyle style);
    Color separatorColor() const { return m_look.separatorColor; }
    void setSeparatorColor(const Color& color);
    EdgeInsets separatorInset() const { return m_look.separatorInset; }
    void setSeparatorInset(const EdgeInsets& inset);

    std::shared_ptr<View> backgroundView() const { return m_backgroundView; }
    void setBackgroundView(const std::shared_ptr<View>& view);
    std::shared_ptr<View> tableHeaderView() const { return m_tableHeaderView; }
    void setTableHeaderView(const std::shared_ptr<View>& view);
    std::shared_ptr<View> tableFooterView() const { return m_tableFooterView; }
    void setTableFooterView(const std::shared_ptr<View>& view);

    // Data.
    void reloadData();
    void reloadRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);
    void reloadSections(const std::vector<int>& sections, TableViewRowAnimation animation);
    int numberOfSections();
    int numberOfRowsInSection(int section);

    // Batched updates: deletions name rows as they were before the batch, insertions as they
    // are after it. Outside a batch each call is a batch of its own.
    void beginUpdates();
    void endUpdates();
    void insertRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);
    void deleteRowsAtIndexPaths(const std::vector<IndexPath>& paths, TableViewRowAnimation animation);

    // Reuse.
    std::shared_ptr<TableViewCell> dequeueReusableCellWithIdentifier(const QString& identifier);
    void registerClass(CellFactory factory, const QString& identifier);
    std::shared_ptr<View> dequeueReusableHeaderFooterViewWithIdentifier(const QString& identifier);
    void registerClassForHeaderFooterView(ViewFactory factory, const QString& identifier);
    // A layout file (by name, as Nib::load finds it) for an identifier: dequeue builds the cell,
    // or the header or footer view, from the file's one top-level object, anew each time; a
    // cell that names no identifier takes this one. An empty name unregisters.
    void registerNib(const QString& layoutName, const QString& identifier);
    void registerNibForHeaderFooterView(const QString& layoutName, const QString& identifier);

    // Geometry, in the table's content coordinates.
    Rect rectForSection(int section);
    Rect rectForHeaderInSection(int section);
    Rect rectForFooterInSection(int section);
    Rect rectForRowAtIndexPath(const IndexPath& indexPath);
    std::optional<IndexPath> indexPathForRowAtPoint(const Point& point);
    std::vector<IndexPath> indexPathsForRowsInRect(const Rect& rect);
    std::optional<IndexPath> indexPathForCell(const TableViewCell* cell) const;
    std::shared_ptr<TableViewCell> cellForRowAtIndexPath(const IndexPath& indexPath) const;
    std::vector<std::shared_ptr<TableViewCell>> visibleCells();
    std::vector<IndexPath> indexPathsForVisibleRows();
    std::shared_ptr<View> headerViewForSection(int section) const;
    std::shared_ptr<View> footerViewForSection(int section) const;

    void scrollToRowAtIndexPath(const IndexPath& indexPath, TableViewScrollPosition position, bool animated);
    void scrollToNearestSelectedRowAtScrollPosition(TableViewScrollPosition position, bool animated);

    // Selection. Selecting from code tells the delegate nothing, as on the phone.
    bool allowsSelection() const { return m_allowsSelection; }
    void setAllowsSelection(bool allows) { m_allowsSelection = allows; }
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool allows) { m_allowsMultipleSelection = allows; }
    bool allowsSelectionDuringEditing() const { return m_allowsSelectionDuringEditing; }
    void setAllowsSelectionDuringEditing(bool allows) { m_allowsSelectionDuringEditing = allows; }
    bool allowsMultipleSelectionDuringEditing() const { return m_allowsMultipleSelectionDuringEditing; }
    void setAllowsMultipleSelectionDuringEditing(bool allows) { m_allowsMultipleSelectionDuringEditing = allows; }
    std::optional<IndexPath> indexPathForSelectedRow() const;
    std::vector<IndexPath> indexPathsForSelectedRows() const;
    void selectRowAtIndexPath(const std::optional<IndexPath>& indexPath, bool animated, TableViewScrollPosition position);
    void deselectRowAtIndexPath(const IndexPath& indexPath, bool animated);

    // Editing: each editable row shows its editing control; tapping a delete control shows
    // the row's confirmation button, and tapping that commits the delete to the data source.
    bool isEditing() const { return m_editing; }
    void setEditing(bool editing);
    void setEditing(bool editing, bool animated);
    // The confirmation outside editing mode (what a swipe across the row shows on the phone).
    void showDeleteConfirmationForRowAtIndexPath(const IndexPath& indexPath);
    void hideDeleteConfirmation();

protected:
    TableView(const Rect& frame, TableViewStyle style);

    void layoutSubviews() override;
    void contentOffsetDidChange() override;

private:
    friend class TableViewCell;
    friend class TableRowUpdates;
    friend class TableRowSelection;
    friend class TableRowEditing;

    struct Section {
        double headerHeight = 0;
        double footerHeight = 0;
        std::vector<double> heights;
        std::vector<double> tops;   // tops[i]: row i's top relative to the first row; one more than rows
        double top = 0;             // of the header, in content coordinates

        int rows() const { return static_cast<int>(heights.size()); }
        double rowsHeight() const { return tops.empty() ? 0 : tops.back(); }
        double height() const { return headerHeight + rowsHeight() + footerHeight; }
        void recomputeFrom(int row);
    };
    void ensureData();
    void rebuildModel();
    Section measureSection(int section);
    void restackSections(int from);
    void updateContentSize();
    double contentTop() const;
    double rowHeightFor(const IndexPath& path);
    double headerHeightFor(int section);
    double footerHeightFor(int section);
    bool validPath(const IndexPath& path) const;

    void layoutVisible();
    void layoutCells(const Rect& visible);
    void layoutHeadersFooters(const Rect& visible);
    std::shared_ptr<TableViewCell> makeCell(const IndexPath& path);
    void configureCell(const std::shared_ptr<TableViewCell>& cell, const IndexPath& path);
    void recycleCell(const IndexPath& path, const std::shared_ptr<TableViewCell>& cell, bool tell);
    void enqueue(const std::shared_ptr<TableViewCell>& cell);
    void dropAllCells();
    void placeFixedViews();

    // From cells.
    void cellTouchBegan(TableViewCell& cell);
    void cellTouchEnded(TableViewCell& cell, bool inside);
    void cellEditingControlTapped(TableViewCell& cell);
    void cellDeleteConfirmed(TableViewCell& cell);
    void cellAccessoryTapped(TableViewCell& cell);
    bool selectionAllowed() const;

    TableViewStyle m_style;
    std::weak_ptr<TableViewDataSource> m_dataSource;
    std::weak_ptr<TableViewDelegate> m_tableDelegate;
    double m_rowHeight = 44;
    double m_estimatedRowHeight = 0;
    double m_sectionHeaderHeight;
    double m_sectionFooterHeight;
    TableViewCell::TableLook m_look;

    std::shared_ptr<View> m_backgroundView;
    std::shared_ptr<View> m_tableHeaderView;
    std::shared_ptr<View> m_tableFooterView;

    bool m_needsReload = true;
    bool m_reloading = false;
    std::vector<Section> m_sections;
    std::map<IndexPath, std::shared_ptr<TableViewCell>> m_visibleCells;
    std::map<int, std::shared_ptr<View>> m_visibleHeaders;
    std::map<int, std::shared_ptr<View>> m_visibleFooters;
    std::vector<std::shared_ptr<TableViewCell>> m_dyingCells;
    std::unordered_map<QString, std::vector<std::shared_ptr<TableViewCell>>> m_cellPool;
    std::unordered_map<QString, CellFactory> m_cellFactories;
    std::unordered_map<QString, std::vector<std::shared_ptr<View>>> m_headerFooterPool;
    std::unordered_map<QString, ViewFactory> m_headerFooterFactories;
    std::unordered_map<const View*, std::pair<std::weak_ptr<View>, QString>> m_headerFooterIds;

    std::unique_ptr<TableRowUpdates> m_rowUpdates;
    std::unique_ptr<TableRowSelection> m_rowSelection;
    std::unique_ptr<TableRowEditing> m_rowEditing;

    std::set<IndexPath> m_selected;
    std::optional<IndexPath> m_highlighted;
    bool m_allowsSelection = true;
    bool m_allowsMultipleSelection = false;
    bool m_allowsSelectionDuringEditing = false;
    bool m_allowsMultipleSelectionDuringEditing = false;
    bool m_editing = false;
    std::optional<IndexPath> m_confirming;
};

} // namespace ui
