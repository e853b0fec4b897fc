#pragma once

#include "platform/ui/IndexPath.h"

#include <optional>

namespace ui {

class TableView;
class TableViewCell;
enum class TableViewScrollPosition;
enum class TableViewCellEditingStyle;

// The table's row selection: what a touch on a cell highlights and selects (asking the
// delegate's will/should and telling its did), and selection by the table's owner. The
// selected rows stay in the table, where reloads and row updates keep them in step.
class TableRowSelection {
public:
    explicit TableRowSelection(TableView& table);
    TableRowSelection(const TableRowSelection&) = delete;
    TableRowSelection& operator=(const TableRowSelection&) = delete;

    bool selectionAllowed() const;
    void selectRowAtIndexPath(const std::optional<IndexPath>& path, bool animated, TableViewScrollPosition position);
    void deselectRowAtIndexPath(const IndexPath& path, bool animated);
    void cellTouchBegan(TableViewCell& cell);
    void cellTouchEnded(TableViewCell& cell, bool inside);
    void userSelect(const IndexPath& tapped);
    void userDeselect(const IndexPath& row);

private:
    TableView& m_table;   // raw: the table owns this and outlives it
};

} // namespace ui
