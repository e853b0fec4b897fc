#pragma once

#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/TableViewDataSource.h"

#include <QString>
#include <bitset>
#include <cstddef>
#include <memory>
#include <optional>

class TreeItem;
class TreeNodeInfo;
class TreeView;

namespace ui {
class TableViewCell;
}

// The delegate methods that the tree view forwards table callbacks to, one by row.
enum class TreeViewDelegateMethod : unsigned {
    HeightForRowForItem,
    EstimatedHeightForRowForItem,
    IndentationLevelForRowForItem,
    WillDisplayCell,
    AccessoryButtonTappedForRowForItem,
    WillSelectRowForItem,
    WillDeselectRowForItem,
    DidDeselectRowForItem,
    WillBeginEditingRowForItem,
    DidEndEditingRowForItem,
    EditingStyleForRowForItem,
    TitleForDeleteConfirmationButtonForRowForItem,
    ShouldIndentWhileEditingRowForItem,
    DidEndDisplayingCell,
    ShouldShowMenuForRowForItem,
    CanPerformAction,
    PerformAction,
    ShouldHighlightRowForItem,
    DidHighlightRowForItem,
    DidUnhighlightRowForItem,
    Count
};

// What a tree view asks and tells about its rows, by item and with the row's info. Every
// method is optional: questions answer nullopt when not implemented and the tree view uses
// its default; notices do nothing. The scroll callbacks come with the inner table as the
// scroll view (all but scrollViewDidEndDragging, which the tree view does not pass on).
class TreeViewDelegate : public ui::ScrollViewDelegate {
public:
    using Item = std::shared_ptr<TreeItem>;
    using Info = std::shared_ptr<TreeNodeInfo>;
    using Cell = std::shared_ptr<ui::TableViewCell>;
    using Method = TreeViewDelegateMethod;

    // True once a call of the method has reached the default below, that is, this delegate
    // does not implement it: the tree view then answers with its own default without looking
    // the row up. (An override that calls the base default counts as not implementing it.)
    bool leavesUnanswered(Method method) const { return m_unanswered.test(std::size_t(method)); }

    // Not answered: the table's rowHeight; the platform's automatic estimate; 0.
    virtual std::optional<double> heightForRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::HeightForRowForItem);
        return std::nullopt;
    }
    virtual std::optional<double> estimatedHeightForRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::EstimatedHeightForRowForItem);
        return std::nullopt;
    }
    virtual std::optional<long> indentationLevelForRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::IndentationLevelForRowForItem);
        return std::nullopt;
    }
    virtual void willDisplayCell(TreeView&, const Cell&, const Item&, const Info&)
    {
        unanswered(Method::WillDisplayCell);
    }
    virtual void accessoryButtonTappedForRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::AccessoryButtonTappedForRowForItem);
    }

    // Asked once per item on every build; not answered: collapsed.
    virtual std::optional<bool> shouldItemBeExpandedAfterDataReload(TreeView&, const Item&, long /*treeDepthLevel*/)
    {
        return std::nullopt;
    }
    // Asked before a tap expands or collapses a row; not answered: yes.
    virtual std::optional<bool> shouldExpandRowForItem(TreeView&, const Item&, const Info&) { return std::nullopt; }
    virtual std::optional<bool> shouldCollapaseRowForItem(TreeView&, const Item&, const Info&) { return std::nullopt; }
    virtual void willExpandRowForItem(TreeView&, const Item&, const Info&) {}
    virtual void willCollapseRowForItem(TreeView&, const Item&, const Info&) {}
    // Sent once the row animation has ended.
    virtual void didExpandRowForItem(TreeView&, const Item&, const Info&) {}
    virtual void didCollapseRowForItem(TreeView&, const Item&, const Info&) {}

    // May name another visible row's item to move the selection there; null keeps the row.
    virtual Item willSelectRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::WillSelectRowForItem);
        return nullptr;
    }
    virtual void didSelectRowForItem(TreeView&, const Item&, const Info&) {}
    virtual Item willDeselectRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::WillDeselectRowForItem);
        return nullptr;
    }
    virtual void didDeselectRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::DidDeselectRowForItem);
    }

    virtual void willBeginEditingRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::WillBeginEditingRowForItem);
    }
    virtual void didEndEditingRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::DidEndEditingRowForItem);
    }
    // Not answered: delete; "Delete"; yes.
    virtual std::optional<ui::TableViewCellEditingStyle> editingStyleForRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::EditingStyleForRowForItem);
        return std::nullopt;
    }
    virtual std::optional<QString> titleForDeleteConfirmationButtonForRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::TitleForDeleteConfirmationButtonForRowForItem);
        return std::nullopt;
    }
    virtual std::optional<bool> shouldIndentWhileEditingRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::ShouldIndentWhileEditingRowForItem);
        return std::nullopt;
    }
    virtual void didEndDisplayingCell(TreeView&, const Cell&, const Item&, const Info&)
    {
        unanswered(Method::DidEndDisplayingCell);
    }

    // Not answered: no menu, no action.
    virtual std::optional<bool> shouldShowMenuForRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::ShouldShowMenuForRowForItem);
        return std::nullopt;
    }
    virtual std::optional<bool> canPerformAction(TreeView&, const QString& /*action*/, const Item&, const Info&,
                                                 const std::shared_ptr<void>& /*sender*/)
    {
        unanswered(Method::CanPerformAction);
        return std::nullopt;
    }
    virtual void performAction(TreeView&, const QString& /*action*/, const Item&, const Info&,
                               const std::shared_ptr<void>& /*sender*/)
    {
        unanswered(Method::PerformAction);
    }

    // Not answered: yes.
    virtual std::optional<bool> shouldHighlightRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::ShouldHighlightRowForItem);
        return std::nullopt;
    }
    virtual void didHighlightRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::DidHighlightRowForItem);
    }
    virtual void didUnhighlightRowForItem(TreeView&, const Item&, const Info&)
    {
        unanswered(Method::DidUnhighlightRowForItem);
    }

private:
    void unanswered(Method method) const { m_unanswered.set(std::size_t(method)); }

    mutable std::bitset<std::size_t(Method::Count)> m_unanswered;
};
