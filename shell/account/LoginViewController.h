#pragma once

#include "appbase/ChromeViewController.h"
#include "platform/ui/Geometry.h"
#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/TextFieldDelegate.h"
#include "shell/account/RegisterViewControllerDelegate.h"

#include <memory>

class LoginViewControllerDelegate;
class ServerRequest;
namespace ui {
class Button;
class Control;
class TextField;
}

// The sign-in screen: five background bands, the account and password fields, the login and
// register buttons. A reply holding an account object becomes the signed-in account, the
// delegate (the home screen) is told and the screen closes; a completed registration on the
// screen above ends it the same way.
class LoginViewController : public ChromeViewController,
                            public ui::TextFieldDelegate,
                            public RegisterViewControllerDelegate,
                            public ServerRequestDelegate,
                            public ProgressHUDDelegate {
public:
    static std::shared_ptr<LoginViewController> create();

    std::shared_ptr<LoginViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<LoginViewControllerDelegate>& delegate) { m_delegate = delegate; }

    std::shared_ptr<ui::TextField> account() const { return m_account; }
    std::shared_ptr<ui::TextField> pwd() const { return m_pwd; }
    std::shared_ptr<ui::Button> loginBtn() const { return m_loginBtn; }
    std::shared_ptr<ui::Button> registerBtn() const { return m_registerBtn; }
    // The login request in flight or last sent; null before the first.
    std::shared_ptr<ServerRequest> loginRequest() const { return m_request; }

    void loginClick(const std::shared_ptr<ui::Control>& sender);
    void registerClick(const std::shared_ptr<ui::Control>& sender);

    bool shouldChangeCharactersInRange(ui::TextField& field, ui::TextRange range, const QString& string) override;
    void regsiterOk() override;
    void requestDidFinish(ServerRequest& request) override;

    static constexpr const char* kWrongLoginMessage = "用户名或密码错误？？";

protected:
    LoginViewController();

    void viewDidLoad() override;
    void releaseReferences() override;

private:
    void addBands();
    std::shared_ptr<ui::TextField> makeField(const ui::Rect& frame, const QString& placeholder, int tag);
    void addButtons(const ui::Rect& form);
    void fillFromAccount();

    std::shared_ptr<ui::TextField> m_account;
    std::shared_ptr<ui::TextField> m_pwd;
    std::shared_ptr<ui::Button> m_loginBtn;
    std::shared_ptr<ui::Button> m_registerBtn;
    std::weak_ptr<LoginViewControllerDelegate> m_delegate;
    std::shared_ptr<ServerRequest> m_request;
    double m_band4Y = 0;
};
