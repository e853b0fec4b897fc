#pragma once

#include "platform/ui/View.h"

#include <QString>

#include <memory>

// Finding a view as a screen reader would, by what it is called; shared by the tests and the
// benchmarks that drive the real app.
namespace views {

// The first view under `root` (depth first, itself included) whose accessibility label is
// `label`; null when there is none.
inline std::shared_ptr<ui::View> findByLabel(const std::shared_ptr<ui::View>& root, const QString& label)
{
    if (!root)
        return nullptr;
    if (root->accessibilityLabel() == label)
        return root;
    for (const auto& child : root->subviews()) {
        if (auto found = findByLabel(child, label))
            return found;
    }
    return nullptr;
}

} // namespace views
