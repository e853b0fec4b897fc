#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class TreeItem;
class TreeNode;

// Holds the invisible root of one tree (no item, always expanded; its children are the
// top-level items) and maps rows to nodes and items to rows.
class TreeNodeCollectionController {
public:
    // Where a build gets its items. shouldBeExpanded may be empty (nobody answers: NO),
    // or answer nullopt for "not answered".
    struct Source {
        std::function<long(const std::shared_ptr<TreeItem>& item)> numberOfChildren;
        std::function<std::shared_ptr<TreeItem>(long index, const std::shared_ptr<TreeItem>& item)> child;
        std::function<std::optional<bool>(const std::shared_ptr<TreeItem>& item, long treeDepthLevel)> shouldBeExpanded;
    };

    TreeNodeCollectionController();
    ~TreeNodeCollectionController();

    TreeNodeCollectionController(const TreeNodeCollectionController&) = delete;
    TreeNodeCollectionController& operator=(const TreeNodeCollectionController&) = delete;

    // One depth-first walk in the source's order: all of a node's child items are fetched
    // before any of them is looked into, and a node joins its parent only once its own
    // subtree is built.
    static std::unique_ptr<TreeNodeCollectionController> build(const Source& source);

    const std::shared_ptr<TreeNode>& root() const { return m_root; }
    void setRoot(std::shared_ptr<TreeNode> root);

    // Attaches a built node to its parent, or to the root when it has none.
    void addTreeNode(const std::shared_ptr<TreeNode>& node);

    long numberOfRows() const;
    // The node shown in that row, or null outside 0 to rows-1.
    std::shared_ptr<TreeNode> treeNodeForIndex(long row) const;
    // The same search among the rows below `node`.
    std::shared_ptr<TreeNode> treeNodeForIndex(long row, const std::shared_ptr<TreeNode>& node) const;
    // The upper visible row whose item equals `item`, or -1.
    long indexForItem(const std::shared_ptr<TreeItem>& item) const;
    // The same search among the rows below `node` (the node's visible descendants): the
    // row that the upper match has in the whole tree, or -1. With the root it is the above.
    long indexForItem(const std::shared_ptr<TreeItem>& item, const std::shared_ptr<TreeNode>& node) const;

private:
    void buildChildren(const Source& source, const std::shared_ptr<TreeNode>& parent, long treeDepthLevel);
    void indexItems() const;
    bool itemsIndexed() const;
    static bool isVisibleBelow(const TreeNode& node, const TreeNode& ancestor);

    std::shared_ptr<TreeNode> m_root;

    // Every node by its item's hash, made on the first lookup after any node gained a child
    // (through this controller or directly) or the root changed.
    mutable std::unordered_map<std::size_t, std::vector<const TreeNode*>> m_nodesByItemHash;
    mutable bool m_itemsIndexed = false;
    mutable std::uint64_t m_indexedGeneration = 0;
};
