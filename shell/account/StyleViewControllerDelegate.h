#pragma once

// Told by the style screen right after it set a new background style (1 to 4); the home
// screen shows the matching background at once.
class StyleViewControllerDelegate {
public:
    virtual ~StyleViewControllerDelegate() = default;

    virtual void showMainStyle() = 0;
};
