#include "platform/ui/TableRowSelection.h"

#include "platform/ui/TableView.h"
#include "platform/ui/TableViewDelegate.h"

#include <set>


namespace ui {

TableRowSelection::TableRowSelection(TableView& table)
    : m_table(table)
{
}

bool TableRowSelection::selectionAllowed() const
{
    return m_table.m_editing ? m_table.m_allowsSelectionDuringEditing : m_table.m_allowsSelection;
}

void TableRowSelection::selectRowAtIndexPath(const std::optional<IndexPath>& path, bool animated, TableViewScrollPosition position)
{
    m_table.ensureData();
    const bool multiple = m_table.m_editing ? m_table.m_allowsMultipleSelectionDuringEditing : m_table.m_allowsMultipleSelection;
    if (!path || !multiple) {
        for (const auto& p : std::set<IndexPath>(m_table.m_selected))
            m_table.deselectRowAtIndexPath(p, animated);
    }
    if (!path || !m_table.validPath(*path))
        return;
    m_table.m_selected.insert(*path);
    if (auto cell = m_table.cellForRowAtIndexPath(*path))
        cell->setSelected(true, animated);
    if (position != TableViewScrollPosition::None)
        m_table.scrollToRowAtIndexPath(*path, position, animated);
}

void TableRowSelection::deselectRowAtIndexPath(const IndexPath& path, bool animated)
{
    m_table.m_selected.erase(path);
    if (auto cell = m_table.cellForRowAtIndexPath(path))
        cell->setSelected(false, animated);
}

void TableRowSelection::cellTouchBegan(TableViewCell& cell)
{
    auto self = m_table.shared_from_this();
    const auto path = m_table.indexPathForCell(&cell);
    if (!path)
        return;
    if (m_table.m_confirming) {
        // A touch anywhere else first puts the confirmation away.
        if (*m_table.m_confirming != *path || !m_table.m_editing)
            m_table.hideDeleteConfirmation();
        return;
    }
    if (!selectionAllowed())
        return;
    const auto d = m_table.delegate();
    if (d && !d->shouldHighlightRowAtIndexPath(m_table, *path))
        return;
    m_table.m_highlighted = path;
    cell.setHighlighted(true);
    if (d)
        d->didHighlightRowAtIndexPath(m_table, *path);
}

void TableRowSelection::cellTouchEnded(TableViewCell& cell, bool inside)
{
    auto self = m_table.shared_from_this();
    const auto path = m_table.indexPathForCell(&cell);
    if (!path || m_table.m_highlighted != path)
        return;
    m_table.m_highlighted.reset();
    cell.setHighlighted(false);
    if (const auto d = m_table.delegate())
        d->didUnhighlightRowAtIndexPath(m_table, *path);
    if (inside && selectionAllowed())
        userSelect(*path);
}

void TableRowSelection::userSelect(const IndexPath& tapped)
{
    const auto d = m_table.delegate();
    const auto path = d ? d->willSelectRowAtIndexPath(m_table, tapped) : std::optional<IndexPath>(tapped);
    if (!path || !m_table.validPath(*path))
        return;
    const bool multiple = m_table.m_editing ? m_table.m_allowsMultipleSelectionDuringEditing : m_table.m_allowsMultipleSelection;
    if (multiple && m_table.m_selected.count(*path)) {
        userDeselect(*path);
        return;
    }
    if (!multiple) {
        for (const auto& other : std::set<IndexPath>(m_table.m_selected)) {
            if (other != *path)
                userDeselect(other);
        }
    }
    m_table.m_selected.insert(*path);
    if (auto cell = m_table.cellForRowAtIndexPath(*path))
        cell->setSelected(true);
    if (d)
        d->didSelectRowAtIndexPath(m_table, *path);
}

void TableRowSelection::userDeselect(const IndexPath& row)
{
    const auto d = m_table.delegate();
    const auto path = d ? d->willDeselectRowAtIndexPath(m_table, row) : std::optional<IndexPath>(row);
    if (!path || !m_table.m_selected.count(*path))
        return;
    m_table.deselectRowAtIndexPath(*path, false);
    if (d)
        d->didDeselectRowAtIndexPath(m_table, *path);
}

} // namespace ui
