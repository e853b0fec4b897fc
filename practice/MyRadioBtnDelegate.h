#pragma once

#include <QString>

// What a single-choice option tells its group.
class MyRadioBtnDelegate {
public:
    virtual ~MyRadioBtnDelegate() = default;

    // The option was selected; `value` is its value.
    virtual void clickValue(const QString& value) = 0;
    // The option's caption has loaded (or failed to) and the option has its final size.
    virtual void replaseWidth() = 0;
};
