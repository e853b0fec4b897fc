#include "platform/ui/KeyBindings.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <utility>

namespace ui {

std::optional<EditingCommand> KeyBindings::command(const QKeyEvent& event)
{
    static const std::pair<QKeySequence::StandardKey, EditingCommand> kBindings[] = {
        {QKeySequence::MoveToPreviousChar, EditingCommand::MoveLeft},
        {QKeySequence::MoveToNextChar, EditingCommand::MoveRight},
        {QKeySequence::MoveToPreviousLine, EditingCommand::MoveUp},
        {QKeySequence::MoveToNextLine, EditingCommand::MoveDown},
        {QKeySequence::MoveToStartOfLine, EditingCommand::MoveToLineStart},
        {QKeySequence::MoveToEndOfLine, EditingCommand::MoveToLineEnd},
        {QKeySequence::SelectPreviousChar, EditingCommand::SelectLeft},
        {QKeySequence::SelectNextChar, EditingCommand::SelectRight},
        {QKeySequence::SelectPreviousLine, EditingCommand::SelectUp},
        {QKeySequence::SelectNextLine, EditingCommand::SelectDown},
        {QKeySequence::SelectStartOfLine, EditingCommand::SelectToLineStart},
        {QKeySequence::SelectEndOfLine, EditingCommand::SelectToLineEnd},
        {QKeySequence::Delete, EditingCommand::DeleteForward},
        {QKeySequence::SelectAll, EditingCommand::SelectAll},
        {QKeySequence::Cut, EditingCommand::Cut},
        {QKeySequence::Copy, EditingCommand::Copy},
        {QKeySequence::Paste, EditingCommand::Paste},
    };
    for (const auto& [key, command] : kBindings) {
        if (event.matches(key))
            return command;
    }
    return std::nullopt;
}

} // namespace ui
