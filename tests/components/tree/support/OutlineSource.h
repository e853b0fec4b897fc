#pragma once

#include "components/tree/TreeItem.h"
#include "components/tree/TreeNodeCollectionController.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TreeNode;

// An item equal to any other item of the same name, so tests can put equal but distinct
// objects into one tree.
class NamedItem : public TreeItem {
public:
    explicit NamedItem(std::string name);
    const std::string& name() const { return m_name; }
    bool isEqual(const TreeItem& other) const override;
    std::size_t hash() const override;

private:
    std::string m_name;
};

// A tree written as nested outlines; each outline becomes one NamedItem, made once, so
// repeated builds hand out the same objects.
struct Outline {
    std::string name;
    bool expandAfterReload = false;
    std::vector<Outline> children;
};

class OutlineSource {
public:
    explicit OutlineSource(std::vector<Outline> top);
    OutlineSource(const OutlineSource&) = delete; // the source's callbacks point back here
    OutlineSource& operator=(const OutlineSource&) = delete;

    TreeNodeCollectionController::Source source();
    std::unique_ptr<TreeNodeCollectionController> build();

    // The first item made for that name, in outline order.
    std::shared_ptr<TreeItem> item(const std::string& name) const;
    std::vector<std::string> log; // "count(X)", "child(i,X)", "expand?(X,d)"

private:
    struct Entry {
        const Outline* outline;
        std::vector<std::shared_ptr<TreeItem>> children;
    };
    void makeItems(const std::vector<Outline>& outlines, std::vector<std::shared_ptr<TreeItem>>& into);
    const Entry* entryFor(const std::shared_ptr<TreeItem>& item) const;
    static std::string nameOf(const std::shared_ptr<TreeItem>& item);

    std::vector<Outline> m_top;
    std::vector<std::shared_ptr<TreeItem>> m_topItems;
    std::map<const TreeItem*, Entry> m_entries;
    std::vector<std::pair<std::string, std::shared_ptr<TreeItem>>> m_byName;
};

// The names on the rows, found by walking the flags, and found row by row through the
// row lookup; the two must agree.
std::vector<std::string> rowsByWalk(const TreeNodeCollectionController& controller);
std::vector<std::string> rowsByLookup(const TreeNodeCollectionController& controller);
std::string nameOf(const std::shared_ptr<TreeNode>& node);
std::vector<std::string> names(std::initializer_list<const char*> list);
