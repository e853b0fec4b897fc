#pragma once

#include <memory>
#include <vector>

class TreeItem;
class TreeNode;

// What a client sees of a row. Made once per node and tree; the node refreshes the item
// and the expanded flag each time it hands the info out, so a held info shows the state
// of the last hand-out. Depth, siblings and position are fixed when the info is made.
class TreeNodeInfo {
public:
    TreeNodeInfo(const std::shared_ptr<TreeNode>& parentTreeNode, std::vector<std::shared_ptr<TreeNode>> childrenTreeNodes);
    ~TreeNodeInfo();

    TreeNodeInfo(const TreeNodeInfo&) = delete;
    TreeNodeInfo& operator=(const TreeNodeInfo&) = delete;

    bool isExpanded() const { return m_expanded; }
    long treeDepthLevel() const { return m_treeDepthLevel; }
    long siblingsNumber() const { return m_siblingsNumber; }
    long positionInSiblings() const { return m_positionInSiblings; }
    const std::shared_ptr<TreeItem>& item() const { return m_item; }

    // The parent node's info (the root's for a top-level row); looked up once, held weakly.
    std::shared_ptr<TreeNodeInfo> parent() const;
    // The child nodes' infos in order; made on first request and kept.
    const std::vector<std::shared_ptr<TreeNodeInfo>>& children() const;

private:
    friend class TreeNode;

    bool m_expanded = false;
    long m_treeDepthLevel = 0;
    long m_siblingsNumber = 0;
    long m_positionInSiblings = 0;
    std::shared_ptr<TreeItem> m_item;

    std::weak_ptr<TreeNode> m_parentTreeNode;
    std::vector<std::shared_ptr<TreeNode>> m_childrenTreeNodes;
    mutable std::weak_ptr<TreeNodeInfo> m_parent;
    mutable bool m_parentLookedUp = false;
    mutable std::vector<std::shared_ptr<TreeNodeInfo>> m_children;
    mutable bool m_childrenMade = false;
};
