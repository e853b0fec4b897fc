#pragma once

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNode.h"
#include "components/tree/TreeNodeCollectionController.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// A tree written as nested outlines.
struct Outline {
    std::string name;
    bool expandAfterReload = false;
    std::vector<Outline> children;
};

// An item equal to any other item of the same name, so tests can put equal but distinct
// objects into one tree; it carries its outline's children and answer.
struct NamedItem : TreeItem {
    explicit NamedItem(std::string name_, bool expand = false) : name(std::move(name_)), expandAfterReload(expand) {}
    bool isEqual(const TreeItem& other) const override
    {
        const auto* named = dynamic_cast<const NamedItem*>(&other);
        return named && named->name == name;
    }
    std::size_t hash() const override { return std::hash<std::string>{}(name); }

    std::string name;
    bool expandAfterReload;
    std::vector<std::shared_ptr<TreeItem>> children;
};

inline std::string nameOf(const std::shared_ptr<TreeItem>& item)
{
    return item ? static_cast<const NamedItem&>(*item).name : std::string("-");
}
inline std::string nameOf(const std::shared_ptr<TreeNode>& node)
{
    return node ? nameOf(node->item()) : std::string("-");
}
inline std::vector<std::string> names(std::initializer_list<const char*> list)
{
    return { list.begin(), list.end() };
}

// Items made once from the outlines, so repeated builds hand out the same objects.
class OutlineSource {
public:
    explicit OutlineSource(const std::vector<Outline>& top) : m_top(make(top)) {}

    TreeNodeCollectionController::Source source()
    {
        TreeNodeCollectionController::Source source;
        source.numberOfChildren = [this](const std::shared_ptr<TreeItem>& item) { return long(childrenOf(item).size()); };
        source.child = [this](long index, const std::shared_ptr<TreeItem>& item) { return childrenOf(item).at(std::size_t(index)); };
        source.shouldBeExpanded = [](const std::shared_ptr<TreeItem>& item, long) -> std::optional<bool> {
            return static_cast<const NamedItem&>(*item).expandAfterReload;
        };
        return source;
    }
    std::unique_ptr<TreeNodeCollectionController> build() { return TreeNodeCollectionController::build(source()); }

    // The first item of that name, in outline order.
    std::shared_ptr<TreeItem> item(const std::string& name) const { return find(m_top, name); }

private:
    static std::vector<std::shared_ptr<TreeItem>> make(const std::vector<Outline>& outlines)
    {
        std::vector<std::shared_ptr<TreeItem>> items;
        for (const auto& outline : outlines) {
            auto item = std::make_shared<NamedItem>(outline.name, outline.expandAfterReload);
            item->children = make(outline.children);
            items.push_back(item);
        }
        return items;
    }
    static std::shared_ptr<TreeItem> find(const std::vector<std::shared_ptr<TreeItem>>& items, const std::string& name)
    {
        for (const auto& item : items) {
            if (auto found = nameOf(item) == name ? item : find(static_cast<const NamedItem&>(*item).children, name))
                return found;
        }
        return nullptr;
    }
    const std::vector<std::shared_ptr<TreeItem>>& childrenOf(const std::shared_ptr<TreeItem>& item) const
    {
        return item ? static_cast<const NamedItem&>(*item).children : m_top;
    }

    std::vector<std::shared_ptr<TreeItem>> m_top;
};

inline std::shared_ptr<TreeNode> nodeNamed(const TreeNodeCollectionController& controller, const std::string& name)
{
    for (const auto& node : controller.root()->descendants()) {
        if (nameOf(node) == name)
            return node;
    }
    return nullptr;
}

// The names on the rows, found by walking the flags, and found row by row through the
// row lookup; the two must agree.
inline std::vector<std::string> rowsByWalk(const TreeNodeCollectionController& controller)
{
    std::vector<std::string> rows;
    for (const auto& node : controller.root()->visibleDescendants())
        rows.push_back(nameOf(node));
    return rows;
}
inline std::vector<std::string> rowsByLookup(const TreeNodeCollectionController& controller)
{
    std::vector<std::string> rows;
    for (long row = 0; row < controller.numberOfRows(); ++row)
        rows.push_back(nameOf(controller.treeNodeForIndex(row)));
    return rows;
}
