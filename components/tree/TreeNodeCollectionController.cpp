#include "components/tree/TreeNodeCollectionController.h"

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNode.h"

#include <algorithm>
#include <utility>

TreeNodeCollectionController::TreeNodeCollectionController()
    : m_root(TreeNode::create(nullptr, nullptr, true))
{
}

TreeNodeCollectionController::~TreeNodeCollectionController() = default;

std::unique_ptr<TreeNodeCollectionController> TreeNodeCollectionController::build(const Source& source)
{
    auto controller = std::make_unique<TreeNodeCollectionController>();
    controller->buildChildren(source, nullptr, 0);
    return controller;
}

void TreeNodeCollectionController::buildChildren(const Source& source, const std::shared_ptr<TreeNode>& parent, long treeDepthLevel)
{
    const std::shared_ptr<TreeItem> parentItem = parent ? parent->item() : nullptr;
    // A negative count means nothing to fetch, and an index without an item is left out:
    // the tree cannot hold a row without an item.
    const long count = std::max(0L, source.numberOfChildren(parentItem));
    std::vector<std::shared_ptr<TreeItem>> items;
    items.reserve(std::size_t(count));
    for (long i = 0; i < count; ++i) {
        if (auto item = source.child(i, parentItem))
            items.push_back(std::move(item));
    }

    for (const auto& item : items) {
        bool expanded = false;
        if (source.shouldBeExpanded)
            expanded = source.shouldBeExpanded(item, treeDepthLevel).value_or(false);
        const auto node = TreeNode::create(item, parent, expanded);
        buildChildren(source, node, treeDepthLevel + 1);
        addTreeNode(node);
    }
}

void TreeNodeCollectionController::setRoot(std::shared_ptr<TreeNode> root)
{
    m_root = std::move(root);
    m_itemsIndexed = false;
}

void TreeNodeCollectionController::addTreeNode(const std::shared_ptr<TreeNode>& node)
{
    if (!node)
        return;
    m_itemsIndexed = false;
    if (const auto parent = node->parent()) {
        parent->addChildNode(node);
        if (node->isExpanded())
            node->expand();
        return;
    }
    // A top-level node keeps its own flag: the root is always expanded.
    m_root->addChildNode(node);
    node->m_parent = m_root;
}

long TreeNodeCollectionController::numberOfRows() const
{
    return m_root->numberOfVisibleDescendants();
}

std::shared_ptr<TreeNode> TreeNodeCollectionController::treeNodeForIndex(long row) const
{
    return treeNodeForIndex(row, m_root);
}

std::shared_ptr<TreeNode> TreeNodeCollectionController::treeNodeForIndex(long row, const std::shared_ptr<TreeNode>& node) const
{
    if (!node || row < 0)
        return nullptr;
    const long firstChildRow = node->parent() ? node->startIndex() + 1 : 0;
    long offset = row - firstChildRow;
    if (offset < 0)
        return nullptr;
    // Descend by row spans: each level costs O(log siblings), never a walk of the rows. Only
    // shown rows count: a collapsed node keeps its children's spans but shows none of them.
    const TreeNode* current = node.get();
    while (offset < current->numberOfVisibleDescendants()) {
        long rest = 0;
        const long index = current->m_childSpans.childAt(offset, rest);
        if (index >= long(current->m_children.size()))
            return nullptr;
        const auto& child = current->m_children[std::size_t(index)];
        if (rest == 0)
            return child;
        current = child.get();
        offset = rest - 1;
    }
    return nullptr;
}

void TreeNodeCollectionController::indexItems() const
{
    m_nodesByItemHash.clear();
    std::vector<const TreeNode*> pending { m_root.get() };
    while (!pending.empty()) {
        const TreeNode* node = pending.back();
        pending.pop_back();
        for (const auto& child : node->children()) {
            if (child->item())
                m_nodesByItemHash[child->item()->hash()].push_back(child.get());
            pending.push_back(child.get());
        }
    }
    m_itemsIndexed = true;
    m_indexedGeneration = TreeNode::s_structureGeneration;
}

bool TreeNodeCollectionController::itemsIndexed() const
{
    return m_itemsIndexed && m_indexedGeneration == TreeNode::s_structureGeneration;
}

// Every node from `node` up to `ancestor` (excluded) has an expanded parent, and `ancestor`
// is indeed above it.
bool TreeNodeCollectionController::isVisibleBelow(const TreeNode& node, const TreeNode& ancestor)
{
    for (auto parent = node.parent(); parent; parent = parent->parent()) {
        if (!parent->isExpanded())
            return false;
        if (parent.get() == &ancestor)
            return true;
    }
    return false;
}

long TreeNodeCollectionController::indexForItem(const std::shared_ptr<TreeItem>& item) const
{
    return indexForItem(item, m_root);
}

long TreeNodeCollectionController::indexForItem(const std::shared_ptr<TreeItem>& item,
                                                const std::shared_ptr<TreeNode>& node) const
{
    if (!item || !node)
        return -1;
    if (!itemsIndexed())
        indexItems();
    const auto bucket = m_nodesByItemHash.find(item->hash());
    if (bucket == m_nodesByItemHash.end())
        return -1;
    long best = -1;
    for (const TreeNode* candidate : bucket->second) {
        if (!candidate->item()->isEqual(*item) || !isVisibleBelow(*candidate, *node))
            continue;
        const long row = candidate->startIndex();
        if (best < 0 || row < best)
            best = row;
    }
    return best;
}
