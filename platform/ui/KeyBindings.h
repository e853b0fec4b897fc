#pragma once

#include "platform/ui/EditingCommand.h"

#include <optional>

class QKeyEvent;

namespace ui {

// The editing command that a desktop key press stands for, by the desktop's own key bindings
// (arrows, Home and End, Shift with them, Delete, Ctrl+A, Ctrl+X, Ctrl+C, Ctrl+V and their
// equivalents); none for text and for the keys the host handles itself.
class KeyBindings {
public:
    static std::optional<EditingCommand> command(const QKeyEvent& event);
};

} // namespace ui
