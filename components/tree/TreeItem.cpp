#include "components/tree/TreeItem.h"

#include <functional>

TreeItem::~TreeItem() = default;

bool TreeItem::isEqual(const TreeItem& other) const
{
    return this == &other;
}

std::size_t TreeItem::hash() const
{
    return std::hash<const void*>{}(this);
}
