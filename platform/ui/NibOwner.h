#pragma once

namespace ui {

class NibBindings;

// An object that a layout file may connect to: the file's owner (a screen), or an object
// the file creates whose class has outlets of its own (a table cell with its labels). It
// names its outlets and actions when the loader asks.
class NibOwner {
public:
    virtual ~NibOwner() = default;
    virtual void bindNib(NibBindings& bindings) = 0;
};

} // namespace ui
