#pragma once

#include "platform/ui/TextRange.h"

#include <QString>

namespace ui {

class TextField;

// What a text field asks and tells while it is edited. Every method is optional; the
// defaults let everything happen.
class TextFieldDelegate {
public:
    virtual ~TextFieldDelegate() = default;

    virtual bool textFieldShouldBeginEditing(TextField&) { return true; }
    virtual void textFieldDidBeginEditing(TextField&) {}
    virtual void textFieldDidEndEditing(TextField&) {}
    // Before typed text replaces `range`; the return key arrives as "\n" and deletion as "".
    virtual bool shouldChangeCharactersInRange(TextField&, TextRange /*range*/, const QString& /*string*/)
    {
        return true;
    }
    virtual bool textFieldShouldReturn(TextField&) { return true; }
};

} // namespace ui
