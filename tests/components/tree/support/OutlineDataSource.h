#pragma once

#include "components/tree/TreeViewDataSource.h"
#include "support/OutlineSource.h"

// A tree view data source over an outline: cells show the item's name.
class OutlineDataSource : public TreeViewDataSource {
public:
    explicit OutlineDataSource(std::vector<Outline> top);

    long numberOfChildrenOfItem(TreeView& treeView, const std::shared_ptr<TreeItem>& item) override;
    std::shared_ptr<ui::TableViewCell> cellForItem(TreeView& treeView, const std::shared_ptr<TreeItem>& item,
                                                   const std::shared_ptr<TreeNodeInfo>& treeNodeInfo) override;
    std::shared_ptr<TreeItem> child(TreeView& treeView, long index, const std::shared_ptr<TreeItem>& item) override;

    std::shared_ptr<TreeItem> item(const std::string& name) const { return m_outline.item(name); }

private:
    OutlineSource m_outline;
    TreeNodeCollectionController::Source m_source;
};
