#pragma once

#include "components/tree/TreeRowSpans.h"

#include <cstdint>
#include <memory>
#include <vector>

class TreeItem;
class TreeNodeInfo;
class TreeNodeCollectionController;

// One item of a tree. Rows are stored nowhere: a node's row follows from the tree and
// its expanded flags. Each node keeps the number of rows its subtree would show and the
// row spans of its children, updated along the ancestor chain whenever a flag or a
// child changes, so row arithmetic never walks the whole tree.
//
// Children are owned; the parent link is weak, so dropping the root frees the tree.
class TreeNode {
public:
    using Ptr = std::shared_ptr<TreeNode>;

    // Does not add the node to the parent's children.
    static Ptr create(std::shared_ptr<TreeItem> item, const Ptr& parent, bool expanded);
    TreeNode(std::shared_ptr<TreeItem> item, const Ptr& parent, bool expanded);
    ~TreeNode();

    TreeNode(const TreeNode&) = delete;
    TreeNode& operator=(const TreeNode&) = delete;

    bool isExpanded() const { return m_expanded; }
    Ptr parent() const { return m_parent.lock(); }
    const std::vector<Ptr>& children() const { return m_children; }
    const std::shared_ptr<TreeItem>& item() const { return m_item; }

    // Does not set the child's parent.
    void addChildNode(const Ptr& child);

    // expand() opens this node and every ancestor; collapse() closes every node of the
    // subtree, expanded or not. Both change flags only: the rows that appear or go are
    // startIndex()+1 to endIndex(), read after expand() and before collapse().
    void expand();
    void collapse();

    // Only the immediate parent is looked at.
    bool isVisible() const;
    // Pre-order; empty when collapsed.
    std::vector<Ptr> visibleDescendants() const;
    long numberOfVisibleDescendants() const;
    // For a visible node, its row.
    long startIndex() const;
    long endIndex() const;
    // 0 for a top-level node (and the root).
    long treeDepthLevel() const;
    // Made on first request and kept; every request refreshes its item and flag.
    std::shared_ptr<TreeNodeInfo> treeNodeInfo();
    // Every descendant whatever its flag, pre-order; made on first request and kept.
    const std::vector<Ptr>& descendants() const;

private:
    friend class TreeNodeCollectionController;

    // Bumped by every addChildNode() in any tree, so that item lookups know when the
    // nodes they indexed may have changed (main thread only, like the views).
    static std::uint64_t s_structureGeneration;

    long span() const;
    long positionInParent(const TreeNode& parent) const;
    void setExpandedFlag(bool expanded);
    void spanChangedBy(long delta);
    void forgetDescendants();

    std::shared_ptr<TreeItem> m_item;
    std::weak_ptr<TreeNode> m_parent;
    std::vector<Ptr> m_children;
    bool m_expanded = false;

    // Rows the children would show if this node were expanded, and how they split.
    long m_rowsBelow = 0;
    TreeRowSpans m_childSpans;
    long m_position = -1; // index in the children of the node that appended it

    std::shared_ptr<TreeNodeInfo> m_info;
    mutable std::vector<Ptr> m_descendants;
    mutable bool m_descendantsMade = false;
};
