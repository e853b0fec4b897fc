#include "platform/ui/TableRowEditing.h"

#include "platform/ui/TableView.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"

#include <map>


namespace ui {

TableRowEditing::TableRowEditing(TableView& table)
    : m_table(table)
{
}

bool TableRowEditing::canEdit(const IndexPath& path)
{
    const auto ds = m_table.dataSource();
    return ds && ds->canEditRowAtIndexPath(m_table, path);
}

TableViewCellEditingStyle TableRowEditing::editingStyleFor(const IndexPath& path)
{
    const auto d = m_table.delegate();
    return d ? d->editingStyleForRowAtIndexPath(m_table, path) : TableViewCellEditingStyle::Delete;
}

void TableRowEditing::setEditing(bool editing, bool)
{
    if (m_table.m_editing == editing)
        return;
    auto self = m_table.shared_from_this();
    m_table.hideDeleteConfirmation();
    m_table.m_editing = editing;
    for (const auto& [path, cell] : std::map(m_table.m_visibleCells))
        m_table.configureCell(cell, path);
}

void TableRowEditing::showDeleteConfirmationForRowAtIndexPath(const IndexPath& path)
{
    auto self = m_table.shared_from_this();
    m_table.ensureData();
    if (!m_table.validPath(path) || !canEdit(path) || editingStyleFor(path) != TableViewCellEditingStyle::Delete)
        return;
    m_table.hideDeleteConfirmation();
    auto cell = m_table.cellForRowAtIndexPath(path);
    if (!cell)
        return;
    const auto d = m_table.delegate();
    const QString title = d ? d->titleForDeleteConfirmationButtonForRowAtIndexPath(m_table, path) : QStringLiteral("Delete");
    if (!m_table.m_editing && d)
        d->willBeginEditingRowAtIndexPath(m_table, path);
    m_table.m_confirming = path;
    std::weak_ptr<TableView> weakTable = std::static_pointer_cast<TableView>(m_table.shared_from_this());
    std::weak_ptr<TableViewCell> weakCell = cell;
    cell->showDeleteConfirmation(title, [weakTable, weakCell] {
        auto table = weakTable.lock();
        auto c = weakCell.lock();
        if (table && c)
            table->cellDeleteConfirmed(*c);
    });
}

void TableRowEditing::hideDeleteConfirmation()
{
    if (!m_table.m_confirming)
        return;
    auto self = m_table.shared_from_this();
    const IndexPath path = *m_table.m_confirming;
    m_table.m_confirming.reset();
    if (auto cell = m_table.cellForRowAtIndexPath(path))
        cell->hideDeleteConfirmation();
    if (m_table.m_editing)
        return;
    if (const auto d = m_table.delegate())
        d->didEndEditingRowAtIndexPath(m_table, path);
}

void TableRowEditing::cellEditingControlTapped(TableViewCell& cell)
{
    auto self = m_table.shared_from_this();
    const auto path = m_table.indexPathForCell(&cell);
    if (!path)
        return;
    const auto style = editingStyleFor(*path);
    if (style == TableViewCellEditingStyle::Insert) {
        if (const auto ds = m_table.dataSource())
            ds->commitEditingStyle(m_table, style, *path);
        return;
    }
    if (m_table.m_confirming == path) {
        m_table.hideDeleteConfirmation();
        return;
    }
    m_table.showDeleteConfirmationForRowAtIndexPath(*path);
}

void TableRowEditing::cellDeleteConfirmed(TableViewCell& cell)
{
    auto self = m_table.shared_from_this();
    const auto path = m_table.indexPathForCell(&cell);
    if (!path)
        return;
    m_table.m_confirming.reset();
    cell.hideDeleteConfirmation();
    if (const auto ds = m_table.dataSource())
        ds->commitEditingStyle(m_table, TableViewCellEditingStyle::Delete, *path);
    if (m_table.m_editing)
        return;
    if (const auto d = m_table.delegate())
        d->didEndEditingRowAtIndexPath(m_table, *path);
}

void TableRowEditing::cellAccessoryTapped(TableViewCell& cell)
{
    auto self = m_table.shared_from_this();
    const auto path = m_table.indexPathForCell(&cell);
    if (!path)
        return;
    if (const auto d = m_table.delegate())
        d->accessoryButtonTappedForRowWithIndexPath(m_table, *path);
}

} // namespace ui
