#pragma once

// Told by the login screen once CommonUtil holds the new account, just before that screen
// closes.
class LoginViewControllerDelegate {
public:
    virtual ~LoginViewControllerDelegate() = default;

    virtual void loginOk() = 0;
};
