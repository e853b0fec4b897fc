#pragma once

#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/ViewController.h"
#include "shell/LeftViewControllerDelegate.h"
#include "shell/account/LoginViewControllerDelegate.h"
#include "shell/account/StyleViewControllerDelegate.h"
#include "appbase/ServerRequestDelegate.h"

#include <QString>
#include <memory>

class ServerRequest;
namespace ui {
class Button;
class Control;
class ImageView;
class View;
}

// The home screen, the container's centre: the background of the current style, the logo
// and the eight buttons that lead to every activity. At its first load it asks the server
// whether to make a guest account for a user who holds none.
class MainViewController : public ui::ViewController,
                           public LeftViewControllerDelegate,
                           public LoginViewControllerDelegate,
                           public StyleViewControllerDelegate,
                           public ServerRequestDelegate,
                           public ProgressHUDDelegate {
public:
    // Which request a reply answers.
    enum RequestTag { RegisterTag = 1, CheckGuestTag = 2 };
    static constexpr const char* kGuestPassword = "470219";

    static std::shared_ptr<MainViewController> create();

    void showBgView();
    // The style screen and the login screen report here.
    void showMainStyle() override;
    void loginOk() override;
    void selectSubject() override;

    // Button actions; the guarded ones need an account and a chosen subject.
    void noteClick(const std::shared_ptr<ui::Control>& sender);
    void ztClick(const std::shared_ptr<ui::Control>& sender);
    void csjClick(const std::shared_ptr<ui::Control>& sender);
    void zxClick(const std::shared_ptr<ui::Control>& sender);
    void ctClick(const std::shared_ptr<ui::Control>& sender);
    void ksClick(const std::shared_ptr<ui::Control>& sender);
    void zjClick(const std::shared_ptr<ui::Control>& sender);
    void sysClick(const std::shared_ptr<ui::Control>& sender);
    void loginClick(const std::shared_ptr<ui::Control>& sender);
    void selectClick(const std::shared_ptr<ui::Control>& sender);

    void requestDidFinish(ServerRequest& request) override;

    // Five capitals A-Z, and from + a random remainder below to - from + 1.
    static QString ret32bitString();
    static int getRandomNumber(int from, int to);

    std::shared_ptr<ui::ImageView> bgView() const { return m_bgView; }
    // The last request of the account step, if any.
    std::shared_ptr<ServerRequest> accountRequest() const { return m_accountRequest; }

protected:
    MainViewController() = default;
    void viewDidLoad() override;

private:
    using Action = void (MainViewController::*)(const std::shared_ptr<ui::Control>&);

    void addLogo();
    void addButtons();
    std::shared_ptr<ui::Button> makeButton(const QString& imageName);
    void place(ui::Button& button, double x, double y, const QString& caption);
    void wireSubjectButton(ui::Button& button);
    static double width(const ui::View& view);
    static double height(const ui::View& view);
    void addCaption(const ui::Button& button, const QString& caption);
    // False, after the reason's toast, when nobody is signed in or no subject is chosen.
    bool passesContentGuard();
    void checkGuestAccount();
    void registerGuest();
    void keepGuestAccount(ServerRequest& request);

    std::shared_ptr<ui::ImageView> m_bgView;
    std::shared_ptr<ServerRequest> m_accountRequest;
};
