#pragma once

#include "platform/ui/TableViewDataSource.h"

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

// Where a tree view gets its items and cells. The item is null for the top level.
// Optional methods answer nullopt (or do nothing) when not implemented; the tree view then
// uses its own default.
class TreeViewDataSource {
public:
    enum class Method : unsigned { CommitEditingStyle, CanEditRowForItem, Count };

    virtual ~TreeViewDataSource() = default;

    // True once a call of the optional method has reached its default here: the tree view
    // then answers without looking the row up.
    bool leavesUnanswered(Method method) const { return m_unanswered.test(std::size_t(method)); }

    virtual long numberOfChildrenOfItem(TreeView& treeView, const std::shared_ptr<TreeItem>& item) = 0;
    virtual std::shared_ptr<ui::TableViewCell> cellForItem(TreeView& treeView, const std::shared_ptr<TreeItem>& item,
                                                           const std::shared_ptr<TreeNodeInfo>& treeNodeInfo) = 0;
    virtual std::shared_ptr<TreeItem> child(TreeView& treeView, long index, const std::shared_ptr<TreeItem>& item) = 0;

    virtual void commitEditingStyle(TreeView&, ui::TableViewCellEditingStyle, const std::shared_ptr<TreeItem>&,
                                    const std::shared_ptr<TreeNodeInfo>&)
    {
        unanswered(Method::CommitEditingStyle);
    }
    // Not answered: editable.
    virtual std::optional<bool> canEditRowForItem(TreeView&, const std::shared_ptr<TreeItem>&,
                                                  const std::shared_ptr<TreeNodeInfo>&)
    {
        unanswered(Method::CanEditRowForItem);
        return std::nullopt;
    }

private:
    void unanswered(Method method) const { m_unanswered.set(std::size_t(method)); }

    mutable std::bitset<std::size_t(Method::Count)> m_unanswered;
};
