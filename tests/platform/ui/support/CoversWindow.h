#pragma once

#include "platform/ui/View.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

namespace uitest {

// Lies across the whole window, as the interface's views do in any orientation.
inline void expectCoversWindow(const ui::View& view, const ui::Window& window)
{
    const ui::Rect onScreen = view.convertRectTo(view.bounds(), nullptr);
    const ui::Rect whole = window.bounds();
    EXPECT_NEAR(onScreen.x(), whole.x(), 1e-9);
    EXPECT_NEAR(onScreen.y(), whole.y(), 1e-9);
    EXPECT_NEAR(onScreen.width(), whole.width(), 1e-9);
    EXPECT_NEAR(onScreen.height(), whole.height(), 1e-9);
}

} // namespace uitest
