#include "components/tree/TreeNode.h"

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNodeInfo.h"

#include <utility>

TreeNode::Ptr TreeNode::create(std::shared_ptr<TreeItem> item, const Ptr& parent, bool expanded)
{
    return std::make_shared<TreeNode>(std::move(item), parent, expanded);
}

TreeNode::TreeNode(std::shared_ptr<TreeItem> item, const Ptr& parent, bool expanded)
    : m_item(std::move(item))
    , m_parent(parent)
    , m_expanded(expanded)
{
}

TreeNode::~TreeNode() = default;

long TreeNode::span() const
{
    return 1 + (m_expanded ? m_rowsBelow : 0);
}

long TreeNode::positionInParent(const TreeNode& parent) const
{
    const auto& siblings = parent.m_children;
    if (m_position >= 0 && m_position < long(siblings.size()) && siblings[m_position].get() == this)
        return m_position;
    for (std::size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() == this)
            return long(i);
    }
    return -1;
}

std::uint64_t TreeNode::s_structureGeneration = 0;

void TreeNode::addChildNode(const Ptr& child)
{
    if (!child)
        return;
    ++s_structureGeneration;
    child->m_position = long(m_children.size());
    m_children.push_back(child);
    const long added = child->span();
    m_childSpans.append(added);
    m_rowsBelow += added;
    if (m_expanded)
        spanChangedBy(added);
    forgetDescendants();
}

// Every ancestor's list holds this node's, so all of them are out of date. A listed node's
// subtree is always listed too, so the walk stops at the first node already out of date.
void TreeNode::forgetDescendants()
{
    for (TreeNode* node = this; node && node->m_descendantsMade;) {
        node->m_descendantsMade = false;
        node->m_descendants.clear();
        const Ptr parent = node->parent();
        node = parent.get();
    }
}

// This node's own span grew or shrank by delta: carry it up through every expanded
// ancestor, stopping at the first collapsed one, whose span does not change.
void TreeNode::spanChangedBy(long delta)
{
    TreeNode* node = this;
    while (delta != 0) {
        const Ptr parent = node->parent();
        if (!parent)
            return;
        const long position = node->positionInParent(*parent);
        if (position < 0)
            return;
        parent->m_childSpans.add(position, delta);
        parent->m_rowsBelow += delta;
        if (!parent->m_expanded)
            return;
        node = parent.get();
    }
}

void TreeNode::setExpandedFlag(bool expanded)
{
    if (m_expanded == expanded)
        return;
    m_expanded = expanded;
    spanChangedBy(expanded ? m_rowsBelow : -m_rowsBelow);
}

void TreeNode::expand()
{
    for (TreeNode* node = this; node;) {
        node->setExpandedFlag(true);
        const Ptr parent = node->parent();
        node = parent.get();
    }
}

void TreeNode::collapse()
{
    // The whole subtree, expanded or not: a tree built by hand may hold an expanded node
    // below a collapsed one, and it must come back collapsed too.
    std::vector<TreeNode*> pending { this };
    while (!pending.empty()) {
        TreeNode* node = pending.back();
        pending.pop_back();
        node->setExpandedFlag(false);
        for (auto it = node->m_children.rbegin(); it != node->m_children.rend(); ++it)
            pending.push_back(it->get());
    }
}

bool TreeNode::isVisible() const
{
    const Ptr parent = this->parent();
    return !parent || parent->m_expanded;
}

std::vector<TreeNode::Ptr> TreeNode::visibleDescendants() const
{
    std::vector<Ptr> rows;
    if (!m_expanded)
        return rows;
    rows.reserve(std::size_t(m_rowsBelow));
    std::vector<const TreeNode*> pending { this };
    std::vector<std::size_t> next { 0 };
    while (!pending.empty()) {
        const TreeNode* node = pending.back();
        std::size_t& i = next.back();
        if (i == node->m_children.size()) {
            pending.pop_back();
            next.pop_back();
            continue;
        }
        const Ptr& child = node->m_children[i++];
        rows.push_back(child);
        if (child->m_expanded) {
            pending.push_back(child.get());
            next.push_back(0);
        }
    }
    return rows;
}

long TreeNode::numberOfVisibleDescendants() const
{
    return m_expanded ? m_rowsBelow : 0;
}

long TreeNode::startIndex() const
{
    const Ptr parent = this->parent();
    if (!parent)
        return 0;
    const long base = parent->parent() ? parent->startIndex() + 1 : 0;
    const long position = positionInParent(*parent);
    const long before = position < 0 ? parent->m_childSpans.total() : parent->m_childSpans.rowsBefore(position);
    return base + before;
}

long TreeNode::endIndex() const
{
    return startIndex() + numberOfVisibleDescendants();
}

long TreeNode::treeDepthLevel() const
{
    long depth = 0;
    Ptr ancestor = parent();
    for (ancestor = ancestor ? ancestor->parent() : nullptr; ancestor; ancestor = ancestor->parent())
        ++depth;
    return depth;
}

std::shared_ptr<TreeNodeInfo> TreeNode::treeNodeInfo()
{
    if (!m_info) {
        const Ptr parent = this->parent();
        m_info = std::make_shared<TreeNodeInfo>(parent, m_children);
        m_info->m_treeDepthLevel = treeDepthLevel();
        m_info->m_siblingsNumber = parent ? long(parent->m_children.size()) : 0;
        m_info->m_positionInSiblings = parent ? positionInParent(*parent) : 0;
    }
    m_info->m_item = m_item;
    m_info->m_expanded = m_expanded;
    return m_info;
}

const std::vector<TreeNode::Ptr>& TreeNode::descendants() const
{
    if (m_descendantsMade)
        return m_descendants;
    m_descendants.clear();
    for (const Ptr& child : m_children) {
        m_descendants.push_back(child);
        const auto& below = child->descendants();
        m_descendants.insert(m_descendants.end(), below.begin(), below.end());
    }
    m_descendantsMade = true;
    return m_descendants;
}
