#pragma once

#include "platform/ui/IndexPath.h"
#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/TableViewDataSource.h"

#include <QString>
#include <memory>
#include <optional>

namespace ui {

class TableView;
class TableViewCell;
class View;

// What a table asks and tells its delegate, besides the scroll view's callbacks. Every method
// is optional. Methods whose answer the table replaces by its own value when nobody answers
// return std::optional (nullopt: "not answered"); the others default to the platform's answer.
class TableViewDelegate : public ScrollViewDelegate {
public:
    // Heights in points; unanswered rows take the table's rowHeight.
    virtual std::optional<double> heightForRowAtIndexPath(TableView&, const IndexPath&) { return std::nullopt; }
    virtual std::optional<double> estimatedHeightForRowAtIndexPath(TableView&, const IndexPath&) { return std::nullopt; }
    virtual int indentationLevelForRowAtIndexPath(TableView&, const IndexPath&) { return 0; }

    // Section headers and footers. An unanswered height is the table's section header (footer)
    // height when there is a view, else 0 in a plain table.
    virtual std::shared_ptr<View> viewForHeaderInSection(TableView&, int /*section*/) { return nullptr; }
    virtual std::optional<double> heightForHeaderInSection(TableView&, int /*section*/) { return std::nullopt; }
    virtual std::shared_ptr<View> viewForFooterInSection(TableView&, int /*section*/) { return nullptr; }
    virtual std::optional<double> heightForFooterInSection(TableView&, int /*section*/) { return std::nullopt; }

    // Display.
    virtual void willDisplayCell(TableView&, const std::shared_ptr<TableViewCell>&, const IndexPath&) {}
    virtual void didEndDisplayingCell(TableView&, const std::shared_ptr<TableViewCell>&, const IndexPath&) {}
    virtual void accessoryButtonTappedForRowWithIndexPath(TableView&, const IndexPath&) {}

    // Highlight and selection. The will-forms may redirect to another row; nullopt cancels.
    virtual bool shouldHighlightRowAtIndexPath(TableView&, const IndexPath&) { return true; }
    virtual void didHighlightRowAtIndexPath(TableView&, const IndexPath&) {}
    virtual void didUnhighlightRowAtIndexPath(TableView&, const IndexPath&) {}
    virtual std::optional<IndexPath> willSelectRowAtIndexPath(TableView&, const IndexPath& indexPath) { return indexPath; }
    virtual void didSelectRowAtIndexPath(TableView&, const IndexPath&) {}
    virtual std::optional<IndexPath> willDeselectRowAtIndexPath(TableView&, const IndexPath& indexPath) { return indexPath; }
    virtual void didDeselectRowAtIndexPath(TableView&, const IndexPath&) {}

    // Editing.
    virtual TableViewCellEditingStyle editingStyleForRowAtIndexPath(TableView&, const IndexPath&)
    {
        return TableViewCellEditingStyle::Delete;
    }
    virtual QString titleForDeleteConfirmationButtonForRowAtIndexPath(TableView&, const IndexPath&)
    {
        return QStringLiteral("Delete");
    }
    virtual bool shouldIndentWhileEditingRowAtIndexPath(TableView&, const IndexPath&) { return true; }
    // Around a row's delete confirmation outside editing mode.
    virtual void willBeginEditingRowAtIndexPath(TableView&, const IndexPath&) {}
    virtual void didEndEditingRowAtIndexPath(TableView&, const IndexPath&) {}

    // Edit menu of a row (the platform shows none, so it only asks).
    virtual bool shouldShowMenuForRowAtIndexPath(TableView&, const IndexPath&) { return false; }
    virtual bool canPerformAction(TableView&, const QString& /*action*/, const IndexPath&,
                                  const std::shared_ptr<void>& /*sender*/)
    {
        return false;
    }
    virtual void performAction(TableView&, const QString& /*action*/, const IndexPath&,
                               const std::shared_ptr<void>& /*sender*/)
    {
    }
};

} // namespace ui
