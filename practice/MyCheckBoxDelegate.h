#pragma once

#include <QString>

// What a multiple-choice box tells its group.
class MyCheckBoxDelegate {
public:
    virtual ~MyCheckBoxDelegate() = default;

    // The box was tapped, whether it became checked or unchecked.
    virtual void clickValue(const QString& value) = 0;
    // The box's caption has loaded (or failed to) and the box has its final size.
    virtual void replaseWidth() = 0;
};
