#pragma once

// Told by the registration screen after a successful registration, once that screen has gone;
// CommonUtil then holds the new account.
class RegisterViewControllerDelegate {
public:
    virtual ~RegisterViewControllerDelegate() = default;

    virtual void regsiterOk() = 0;
};
