#pragma once

#include "platform/ui/IndexPath.h"

#include <optional>

namespace ui {

class TableView;
class TableViewCell;
enum class TableViewScrollPosition;
enum class TableViewCellEditingStyle;

// The table's row editing: the editing mode, a row's delete confirmation and what the
// editing control, the confirmation button and the accessory button of a cell do.
class TableRowEditing {
public:
    explicit TableRowEditing(TableView& table);
    TableRowEditing(const TableRowEditing&) = delete;
    TableRowEditing& operator=(const TableRowEditing&) = delete;

    bool canEdit(const IndexPath& path);
    TableViewCellEditingStyle editingStyleFor(const IndexPath& path);
    void setEditing(bool editing, bool);
    void showDeleteConfirmationForRowAtIndexPath(const IndexPath& path);
    void hideDeleteConfirmation();
    void cellEditingControlTapped(TableViewCell& cell);
    void cellDeleteConfirmed(TableViewCell& cell);
    void cellAccessoryTapped(TableViewCell& cell);

private:
    TableView& m_table;   // raw: the table owns this and outlives it
};

} // namespace ui
