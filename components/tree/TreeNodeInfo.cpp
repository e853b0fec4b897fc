#include "components/tree/TreeNodeInfo.h"

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNode.h"

#include <utility>

TreeNodeInfo::TreeNodeInfo(const std::shared_ptr<TreeNode>& parentTreeNode, std::vector<std::shared_ptr<TreeNode>> childrenTreeNodes)
    : m_parentTreeNode(parentTreeNode)
    , m_childrenTreeNodes(std::move(childrenTreeNodes))
{
}

TreeNodeInfo::~TreeNodeInfo() = default;

std::shared_ptr<TreeNodeInfo> TreeNodeInfo::parent() const
{
    if (m_parentLookedUp)
        return m_parent.lock();
    const auto parentNode = m_parentTreeNode.lock();
    if (!parentNode)
        return nullptr;
    // The parent node owns its info; we only point at it.
    const auto info = parentNode->treeNodeInfo();
    m_parent = info;
    m_parentLookedUp = true;
    return info;
}

const std::vector<std::shared_ptr<TreeNodeInfo>>& TreeNodeInfo::children() const
{
    if (m_childrenMade)
        return m_children;
    m_children.reserve(m_childrenTreeNodes.size());
    for (const auto& node : m_childrenTreeNodes)
        m_children.push_back(node->treeNodeInfo());
    m_childrenMade = true;
    return m_children;
}
