#pragma once

#include "platform/ui/TextRange.h"

#include <QString>

namespace ui {

class TextView;

// What a text view asks and tells while it is edited. Every method is optional; the defaults
// let everything happen.
class TextViewDelegate {
public:
    virtual ~TextViewDelegate() = default;

    virtual bool textViewShouldBeginEditing(TextView&) { return true; }
    virtual void textViewDidBeginEditing(TextView&) {}
    virtual void textViewDidEndEditing(TextView&) {}
    // Before typed text replaces `range`; the return key arrives as "\n" and deletion as "".
    virtual bool shouldChangeTextInRange(TextView&, TextRange /*range*/, const QString& /*text*/) { return true; }
};

} // namespace ui
