#pragma once

#include "appbase/ChromeViewController.h"
#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/TextFieldDelegate.h"

#include <QString>
#include <memory>

class RegisterViewControllerDelegate;
class ServerRequest;
namespace ui {
class Button;
class Control;
class TextField;
}

// The registration screen: account, password and confirmation under the title "用户注册", the
// register button and the agreement line. On load it asks for the agreement's address; a
// registration answered with an account object signs that account in, closes this screen and
// then tells the delegate (the login screen).
class RegisterViewController : public ChromeViewController,
                               public ui::TextFieldDelegate,
                               public ServerRequestDelegate,
                               public ProgressHUDDelegate {
public:
    // Which request a reply answers.
    enum RequestTag { RegisterTag = 0, AgreementTag = 1 };

    static std::shared_ptr<RegisterViewController> create();

    // Owning: the login screen lives until this screen is done with it.
    std::shared_ptr<RegisterViewControllerDelegate> delegate() const { return m_delegate; }
    void setDelegate(const std::shared_ptr<RegisterViewControllerDelegate>& delegate) { m_delegate = delegate; }

    std::shared_ptr<ui::TextField> account() const { return m_account; }
    std::shared_ptr<ui::TextField> pwd() const { return m_pwd; }
    std::shared_ptr<ui::TextField> resPwd() const { return m_resPwd; }
    std::shared_ptr<ui::Button> resBtn() const { return m_resBtn; }
    // The agreement page's address; empty until the agreement list has answered.
    QString xyurl() const { return m_xyurl; }
    std::shared_ptr<ServerRequest> agreementRequest() const { return m_agreementRequest; }
    std::shared_ptr<ServerRequest> registerRequest() const { return m_registerRequest; }

    void registerClick(const std::shared_ptr<ui::Control>& sender);
    void openUrl(const std::shared_ptr<ui::Control>& sender);

    bool shouldChangeCharactersInRange(ui::TextField& field, ui::TextRange range, const QString& string) override;
    void requestDidFinish(ServerRequest& request) override;

    static constexpr const char* kAgreementTitle = "Quarnivelo用户协议";

protected:
    RegisterViewController();

    void viewDidLoad() override;
    void releaseReferences() override;

private:
    std::shared_ptr<ui::TextField> makeField(double x, double y, double width, int tag, const QString& placeholder);
    void addAgreementLine();
    void requestAgreement();
    void keepAgreement(ServerRequest& request);
    void finishRegistration(ServerRequest& request);
    // The first failing check's message, or an empty string.
    QString checkFields() const;

    QString m_xyurl;
    std::shared_ptr<ui::TextField> m_account;
    std::shared_ptr<ui::TextField> m_pwd;
    std::shared_ptr<ui::TextField> m_resPwd;
    std::shared_ptr<ui::Button> m_resBtn;
    std::shared_ptr<RegisterViewControllerDelegate> m_delegate;
    std::shared_ptr<ServerRequest> m_agreementRequest;
    std::shared_ptr<ServerRequest> m_registerRequest;
};
