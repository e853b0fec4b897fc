#pragma once

#include "platform/ui/TableView.h"

#include <QString>

namespace ui {

// Factories that build a table's cells and header or footer views from a layout file (the
// phone's registered nibs): each call loads the file anew, without an owner, and gives its one
// top-level object. A file that cannot be loaded, or that holds anything but exactly one
// object of the kind asked for, gives nothing and logs why, so that dequeue answers no view.
class NibCellFactory {
public:
    // Empty for an empty name.
    static TableView::CellFactory cell(const QString& layoutName);
    static TableView::ViewFactory headerFooterView(const QString& layoutName);
};

} // namespace ui
