#pragma once

namespace ui {

// What a key other than text asks of the view that edits: caret movements (the Select forms
// move the caret and keep the selection's other end), deletion forward, and the edit menu's
// actions. The window host reads them from the desktop's key bindings.
enum class EditingCommand {
    MoveLeft,
    MoveRight,
    MoveUp,
    MoveDown,
    MoveToLineStart,
    MoveToLineEnd,
    SelectLeft,
    SelectRight,
    SelectUp,
    SelectDown,
    SelectToLineStart,
    SelectToLineEnd,
    DeleteForward,
    SelectAll,
    Cut,
    Copy,
    Paste,
};

} // namespace ui
