#pragma once

#include "platform/ui/IndexPath.h"

#include <memory>

namespace ui {

class TableView;
class TableViewCell;

enum class TableViewCellEditingStyle { None = 0, Delete = 1, Insert = 2 };

// Where a table gets its sections, rows and cells. Rows and cells are required; the rest has
// the platform's default.
class TableViewDataSource {
public:
    virtual ~TableViewDataSource() = default;

    virtual int numberOfSectionsInTableView(TableView&) { return 1; }
    virtual int numberOfRowsInSection(TableView& tableView, int section) = 0;
    virtual std::shared_ptr<TableViewCell> cellForRowAtIndexPath(TableView& tableView, const IndexPath& indexPath) = 0;

    // Editing: rows are editable unless the data source says otherwise; a confirmed delete (or
    // insert) arrives here, and the data source updates its model and the table.
    virtual bool canEditRowAtIndexPath(TableView&, const IndexPath&) { return true; }
    virtual void commitEditingStyle(TableView&, TableViewCellEditingStyle, const IndexPath&) {}
};

} // namespace ui
