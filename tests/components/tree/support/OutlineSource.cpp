#include "support/OutlineSource.h"

#include "components/tree/TreeNode.h"

#include <functional>

NamedItem::NamedItem(std::string name)
    : m_name(std::move(name))
{
}

bool NamedItem::isEqual(const TreeItem& other) const
{
    const auto* named = dynamic_cast<const NamedItem*>(&other);
    return named && named->m_name == m_name;
}

std::size_t NamedItem::hash() const
{
    return std::hash<std::string>{}(m_name);
}

OutlineSource::OutlineSource(std::vector<Outline> top)
    : m_top(std::move(top))
{
    makeItems(m_top, m_topItems);
}

void OutlineSource::makeItems(const std::vector<Outline>& outlines, std::vector<std::shared_ptr<TreeItem>>& into)
{
    for (const auto& outline : outlines) {
        auto item = std::make_shared<NamedItem>(outline.name);
        into.push_back(item);
        m_byName.emplace_back(outline.name, item);
        auto& entry = m_entries[item.get()];
        entry.outline = &outline;
        makeItems(outline.children, entry.children);
    }
}

const OutlineSource::Entry* OutlineSource::entryFor(const std::shared_ptr<TreeItem>& item) const
{
    const auto it = m_entries.find(item.get());
    return it == m_entries.end() ? nullptr : &it->second;
}

std::string OutlineSource::nameOf(const std::shared_ptr<TreeItem>& item)
{
    return item ? static_cast<const NamedItem&>(*item).name() : std::string("-");
}

TreeNodeCollectionController::Source OutlineSource::source()
{
    TreeNodeCollectionController::Source source;
    source.numberOfChildren = [this](const std::shared_ptr<TreeItem>& item) {
        log.push_back("count(" + nameOf(item) + ")");
        const auto* entry = entryFor(item);
        return long(item ? entry->children.size() : m_topItems.size());
    };
    source.child = [this](long index, const std::shared_ptr<TreeItem>& item) {
        log.push_back("child(" + std::to_string(index) + "," + nameOf(item) + ")");
        const auto& list = item ? entryFor(item)->children : m_topItems;
        return list.at(std::size_t(index));
    };
    source.shouldBeExpanded = [this](const std::shared_ptr<TreeItem>& item, long depth) -> std::optional<bool> {
        log.push_back("expand?(" + nameOf(item) + "," + std::to_string(depth) + ")");
        return entryFor(item)->outline->expandAfterReload;
    };
    return source;
}

std::unique_ptr<TreeNodeCollectionController> OutlineSource::build()
{
    return TreeNodeCollectionController::build(source());
}

std::shared_ptr<TreeItem> OutlineSource::item(const std::string& name) const
{
    for (const auto& [itemName, item] : m_byName) {
        if (itemName == name)
            return item;
    }
    return nullptr;
}

std::string nameOf(const std::shared_ptr<TreeNode>& node)
{
    if (!node || !node->item())
        return "-";
    return static_cast<const NamedItem&>(*node->item()).name();
}

std::vector<std::string> rowsByWalk(const TreeNodeCollectionController& controller)
{
    std::vector<std::string> rows;
    for (const auto& node : controller.root()->visibleDescendants())
        rows.push_back(nameOf(node));
    return rows;
}

std::vector<std::string> rowsByLookup(const TreeNodeCollectionController& controller)
{
    std::vector<std::string> rows;
    for (long row = 0; row < controller.numberOfRows(); ++row)
        rows.push_back(nameOf(controller.treeNodeForIndex(row)));
    return rows;
}

std::vector<std::string> names(std::initializer_list<const char*> list)
{
    return { list.begin(), list.end() };
}
