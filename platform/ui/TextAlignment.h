#pragma once

namespace ui {

// Horizontal alignment of text, with the phone's values.
enum class TextAlignment { Left = 0, Center = 1, Right = 2 };

} // namespace ui
