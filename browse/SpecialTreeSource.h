#pragma once

#include "components/tree/TreeViewDataSource.h"
#include "components/tree/TreeViewDelegate.h"

#include <memory>
#include <vector>

class SpecalHeadView;

// The tree view's answers shared by the chapter tree and the book tree: rows come from the
// top rows in data() and each row's chlder, every row starts collapsed and has the height of
// its connector picture, and the connector follows the row's expanded state.
class SpecialTreeSource : public TreeViewDataSource, public TreeViewDelegate {
public:
    using Rows = std::vector<std::shared_ptr<SpecalHeadView>>;

    const Rows& data() const { return m_data; }

    long numberOfChildrenOfItem(TreeView& treeView, const std::shared_ptr<TreeItem>& item) override;
    std::shared_ptr<ui::TableViewCell> cellForItem(TreeView& treeView, const std::shared_ptr<TreeItem>& item,
                                                   const std::shared_ptr<TreeNodeInfo>& treeNodeInfo) override;
    std::shared_ptr<TreeItem> child(TreeView& treeView, long index, const std::shared_ptr<TreeItem>& item) override;
    std::optional<bool> canEditRowForItem(TreeView&, const std::shared_ptr<TreeItem>&,
                                          const std::shared_ptr<TreeNodeInfo>&) override;

    std::optional<double> heightForRowForItem(TreeView&, const Item& item, const Info&) override;
    std::optional<long> indentationLevelForRowForItem(TreeView&, const Item&, const Info&) override;
    std::optional<bool> shouldItemBeExpandedAfterDataReload(TreeView&, const Item&, long) override;
    void willExpandRowForItem(TreeView&, const Item& item, const Info&) override;
    void didCollapseRowForItem(TreeView&, const Item& item, const Info&) override;
    void willDisplayCell(TreeView&, const Cell&, const Item& item, const Info& info) override;

protected:
    Rows m_data;

private:
    // The children of a row, or the top rows for the invisible root (null).
    const Rows& childrenOf(const std::shared_ptr<TreeItem>& item) const;
};
