#pragma once

// Told after a subject was chosen on the subject menu and its code stored.
class LeftViewControllerDelegate {
public:
    virtual ~LeftViewControllerDelegate() = default;
    virtual void selectSubject() = 0;
};
