#pragma once

#include <compare>
#include <cstddef>
#include <functional>

namespace ui {

// A row of a table: section and row, ordered section first.
struct IndexPath {
    int section = 0;
    int row = 0;

    constexpr IndexPath() = default;
    constexpr IndexPath(int section_, int row_) : section(section_), row(row_) {}
    static constexpr IndexPath forRow(int row, int section) { return {section, row}; }

    auto operator<=>(const IndexPath&) const = default;
};

} // namespace ui

template<>
struct std::hash<ui::IndexPath> {
    std::size_t operator()(const ui::IndexPath& p) const noexcept
    {
        return std::hash<long long>()((static_cast<long long>(p.section) << 32) ^ static_cast<unsigned>(p.row));
    }
};
