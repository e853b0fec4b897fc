#include "shell/account/LoginViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "appbase/ImageButton.h"
#include "shell/account/LoginViewControllerDelegate.h"
#include "shell/account/RegisterViewController.h"

std::shared_ptr<LoginViewController> LoginViewController::create()
{
    return std::shared_ptr<LoginViewController>(new LoginViewController());
}

LoginViewController::LoginViewController()
    : ChromeViewController(QString(), Dismissal::Immediate)
{
}

void LoginViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    // This screen has no title, and its bands lie over the top band: the back button goes on top.
    titleLabel()->removeFromSuperview();
    addBands();
    view()->bringSubviewToFront(backButton());

    const double W = CommonUtil::getSysWidth();
    const double sH = CommonUtil::getScaleHeight();
    const ui::Size formSize = CommonUtil::scaledSize(ui::Image::named(CommonUtil::getImageName("login_bg", ".png")),
                                                     CommonUtil::getScale());
    const ui::Rect form((W - formSize.width) / 2, m_band4Y, formSize.width, formSize.height);
    const int hh = static_cast<int>(form.height()) / 2;

    const ui::Rect accountFrame(form.x() + form.width() / 5, form.y() + (hh - 30 * sH) / 2, form.width() / 5 * 3.8,
                                30 * sH);
    m_account = makeField(accountFrame, QStringLiteral("请输入账号"), 0);
    m_account->setReturnKeyType(ui::ReturnKeyType::Next);
    m_pwd = makeField(accountFrame.offsetBy(0, hh), QStringLiteral("请输入密码"), 1);
    m_pwd->setReturnKeyType(ui::ReturnKeyType::Go);
    m_pwd->setSecureTextEntry(true);
    fillFromAccount();
    addButtons(form);
}

void LoginViewController::addBands()
{
    // Spelled out so the artwork check sees every name.
    const QString bands[] = {CommonUtil::getImageName("loginbg_01", ".png"), CommonUtil::getImageName("loginbg_02", ".png"),
                             CommonUtil::getImageName("loginbg_03", ".png"), CommonUtil::getImageName("loginbg_04", ".png"),
                             CommonUtil::getImageName("loginbg_05", ".png")};
    double y = 0;
    for (int i = 1; i <= 5; ++i) {
        const ui::Image image = ui::Image::named(bands[i - 1]);
        const ui::Size size = CommonUtil::scaledSize(image, CommonUtil::getScale());
        auto band = ui::ImageView::create(ui::Rect(0, y, size.width, size.height));
        band->setImage(image);
        view()->addSubview(band);
        if (i == 4)
            m_band4Y = y;
        y += size.height;
    }
}

std::shared_ptr<ui::TextField> LoginViewController::makeField(const ui::Rect& frame, const QString& placeholder,
                                                              int tag)
{
    auto field = ui::TextField::create(frame);
    field->setBackgroundColor(ui::Color::white());
    field->setBorderStyle(ui::TextBorderStyle::RoundedRect);
    field->setPlaceholder(placeholder);
    field->setAccessibilityLabel(placeholder);
    field->setDelegate(std::static_pointer_cast<LoginViewController>(shared_from_this()));
    field->setFont(ui::Font::systemFont(14 * CommonUtil::getScaleHeight()));
    field->setTag(tag);
    view()->addSubview(field);
    return field;
}

void LoginViewController::addButtons(const ui::Rect& form)
{
    auto self = std::static_pointer_cast<LoginViewController>(shared_from_this());
    m_loginBtn = ImageButton::create(QStringLiteral("loginbtn"), QStringLiteral("登录"));
    const ui::Size login = m_loginBtn->frame().size;
    m_loginBtn->setFrame(ui::Rect((CommonUtil::getSysWidth() - login.width) / 2, form.maxY() + 20, login.width,
                                  login.height));
    m_loginBtn->addTarget(self, &LoginViewController::loginClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_loginBtn);

    // Its right edge lines up with the login button's.
    m_registerBtn = ImageButton::create(QStringLiteral("login_regster"), QStringLiteral("注册新用户"));
    const ui::Size reg = m_registerBtn->frame().size;
    const ui::Rect l = m_loginBtn->frame();
    m_registerBtn->setFrame(ui::Rect(l.maxX() - reg.width, l.y() + login.height + 20, reg.width, reg.height));
    m_registerBtn->addTarget(self, &LoginViewController::registerClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_registerBtn);
}

void LoginViewController::fillFromAccount()
{
    const auto& held = CommonUtil::getAccount();
    if (!held)
        return;
    m_pwd->setText(core::Record::screenText(core::Record::value(*held, "pwd")));
    m_account->setText(core::Record::screenText(core::Record::value(*held, "username")));
}

bool LoginViewController::shouldChangeCharactersInRange(ui::TextField& field, ui::TextRange, const QString& string)
{
    if (string != QLatin1String("\n"))
        return true;
    if (field.tag() == 0) {
        m_pwd->becomeFirstResponder();
        return true;
    }
    // This Return signs in: while the wait overlay keeps fingers off the login button, it
    // keeps the key from sending a second sign-in too.
    if (ServerRequest::isUnderWay(m_request))
        return false;
    auto self = shared_from_this();
    m_loginBtn->sendActionsForControlEvents(ui::ControlEvent::TouchUpInside);
    field.resignFirstResponder();
    return false;
}

void LoginViewController::loginClick(const std::shared_ptr<ui::Control>&)
{
    if (m_account->text().isEmpty()) {
        CommonUtil::errorAlert(QStringLiteral("请输入用户名？？"), view());
        m_account->becomeFirstResponder();
        return;
    }
    if (m_pwd->text().isEmpty()) {
        CommonUtil::errorAlert(QStringLiteral("请输入密码？？"), view());
        m_pwd->becomeFirstResponder();
        return;
    }
    auto self = std::static_pointer_cast<LoginViewController>(shared_from_this());
    const core::FormBody body{{QStringLiteral("account"), m_account->text()}, {QStringLiteral("pwd"), m_pwd->text()}};
    m_request = ServerRequest::send(QStringLiteral("user/login"), body, 0, view(), self);
}

void LoginViewController::requestDidFinish(ServerRequest& request)
{
    // Closed by its back button while the request ran: the reply is nobody's business now.
    if (!m_account)
        return;
    // Wrong credentials come back empty; anything else that is not an account object (an
    // error page, a list) must not replace the held account, which loginOk would then save.
    const auto reply = request.text().isEmpty() ? std::optional<QJsonValue>() : request.json();
    if (!reply || !reply->isObject()) {
        CommonUtil::errorAlert(QString::fromUtf8(kWrongLoginMessage), view());
        return;
    }
    auto self = shared_from_this();
    CommonUtil::setAccount(reply->toObject());
    if (auto d = delegate())
        d->loginOk();
    dismissViewController(true, [] {});
}

void LoginViewController::registerClick(const std::shared_ptr<ui::Control>&)
{
    auto registration = RegisterViewController::create();
    registration->setDelegate(std::static_pointer_cast<LoginViewController>(shared_from_this()));
    presentViewController(registration, true, [] {});
}

void LoginViewController::regsiterOk()
{
    auto self = shared_from_this();
    if (m_account)
        fillFromAccount();
    if (auto d = delegate())
        d->loginOk();
    dismissViewController(true, [] {});
}

void LoginViewController::releaseReferences()
{
    m_request.reset();
    m_account.reset();
    m_pwd.reset();
    m_loginBtn.reset();
    m_registerBtn.reset();
    m_delegate.reset();
}
