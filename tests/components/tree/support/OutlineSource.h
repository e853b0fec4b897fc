#pragma once

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNode.h"
#include "components/tree/TreeNodeCollectionController.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

// An item equal to any other item of the same name, so tests can put equal but distinct
// objects into one tree.
class NamedItem : public TreeItem {
public:
    explicit NamedItem(std::string name) : m_name(std::move(name)) {}
    const std::string& name() const { return m_name; }
    bool isEqual(const TreeItem& other) const override
    {
        const auto* named = dynamic_cast<const NamedItem*>(&other);
        return named && named->m_name == m_name;
    }
    std::size_t hash() const override { return std::hash<std::string>{}(m_name); }

private:
    std::string m_name;
};

inline std::string nameOf(const std::shared_ptr<TreeItem>& item)
{
    return item ? static_cast<const NamedItem&>(*item).name() : std::string("-");
}
inline std::string nameOf(const std::shared_ptr<TreeNode>& node)
{
    return node ? nameOf(node->item()) : std::string("-");
}
inline std::vector<std::string> names(std::initializer_list<const char*> list)
{
    return { list.begin(), list.end() };
}

// A tree written as nested outlines; each outline becomes one NamedItem, made once, so
// repeated builds hand out the same objects.
struct Outline {
    std::string name;
    bool expandAfterReload = false;
    std::vector<Outline> children;
};

class OutlineSource {
public:
    explicit OutlineSource(std::vector<Outline> top) : m_top(std::move(top)) { makeItems(m_top, m_topItems); }
    OutlineSource(const OutlineSource&) = delete; // the source's callbacks point back here
    OutlineSource& operator=(const OutlineSource&) = delete;

    // Every question is written into `log`: "count(X)", "child(i,X)", "expand?(X,depth)".
    TreeNodeCollectionController::Source source()
    {
        TreeNodeCollectionController::Source source;
        source.numberOfChildren = [this](const std::shared_ptr<TreeItem>& item) {
            log.push_back("count(" + nameOf(item) + ")");
            return long(childrenOf(item).size());
        };
        source.child = [this](long index, const std::shared_ptr<TreeItem>& item) {
            log.push_back("child(" + std::to_string(index) + "," + nameOf(item) + ")");
            return childrenOf(item).at(std::size_t(index));
        };
        source.shouldBeExpanded = [this](const std::shared_ptr<TreeItem>& item, long depth) -> std::optional<bool> {
            log.push_back("expand?(" + nameOf(item) + "," + std::to_string(depth) + ")");
            return m_entries.at(item.get()).outline->expandAfterReload;
        };
        return source;
    }
    std::unique_ptr<TreeNodeCollectionController> build() { return TreeNodeCollectionController::build(source()); }

    // The first item made for that name, in outline order.
    std::shared_ptr<TreeItem> item(const std::string& name) const
    {
        for (const auto& item : m_made) {
            if (nameOf(item) == name)
                return item;
        }
        return nullptr;
    }
    std::vector<std::string> log;

private:
    struct Entry {
        const Outline* outline;
        std::vector<std::shared_ptr<TreeItem>> children;
    };
    void makeItems(const std::vector<Outline>& outlines, std::vector<std::shared_ptr<TreeItem>>& into)
    {
        for (const auto& outline : outlines) {
            auto item = std::make_shared<NamedItem>(outline.name);
            into.push_back(item);
            m_made.push_back(item);
            auto& entry = m_entries[item.get()];
            entry.outline = &outline;
            makeItems(outline.children, entry.children);
        }
    }
    const std::vector<std::shared_ptr<TreeItem>>& childrenOf(const std::shared_ptr<TreeItem>& item) const
    {
        return item ? m_entries.at(item.get()).children : m_topItems;
    }

    std::vector<Outline> m_top;
    std::vector<std::shared_ptr<TreeItem>> m_topItems;
    std::vector<std::shared_ptr<TreeItem>> m_made;
    std::map<const TreeItem*, Entry> m_entries;
};

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
