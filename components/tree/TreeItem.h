#pragma once

#include <cstddef>
#include <memory>

// Base of everything a tree shows as a row. The tree keeps items, hands them back and
// compares them only through isEqual(); an item's row is found by equality, so two equal
// items on visible rows share the upper row.
//
// The default is identity. A subclass that overrides isEqual() must override hash() so
// that equal items hash alike: the tree finds an item's row through a hash index.
class TreeItem {
public:
    virtual ~TreeItem();

    virtual bool isEqual(const TreeItem& other) const;
    virtual std::size_t hash() const;
};

using TreeItemPtr = std::shared_ptr<TreeItem>;
