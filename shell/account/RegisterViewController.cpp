#include "shell/account/RegisterViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/core/Log.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TextField.h"
#include "platform/ui/View.h"
#include "appbase/ImageButton.h"
#include "shell/account/RegisterViewControllerDelegate.h"
#include "shell/account/WebViewController.h"

#include <algorithm>

namespace {

// At the design text size the agreement words are wider than the 110 and 100 points their
// line gives them and would be cut short: the frame grows to the words, never shrinks.
void widenToText(ui::View& framed, const ui::Label& text)
{
    ui::Rect frame = framed.frame();
    frame.size.width = std::max(frame.width(), text.sizeThatFits(ui::Size(0, frame.height())).width);
    framed.setFrame(frame);
}

} // namespace

std::shared_ptr<RegisterViewController> RegisterViewController::create()
{
    return std::shared_ptr<RegisterViewController>(new RegisterViewController());
}

RegisterViewController::RegisterViewController()
    : ChromeViewController(QStringLiteral("用户注册"))
{
}

void RegisterViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    const double W = CommonUtil::getSysWidth();
    const double sH = CommonUtil::getScaleHeight();

    const ui::Image formImage = ui::Image::named(CommonUtil::getImageName("register", ".png"));
    const ui::Size formSize = CommonUtil::scaledSize(formImage, CommonUtil::getScale());
    const ui::Rect form((W - formSize.width) / 2, 100 * sH, formSize.width, formSize.height);
    auto formView = ui::ImageView::create(form);
    formView->setImage(formImage);
    view()->addSubview(formView);

    // Three rows below the form's header strip, each field centred in its row. The strip is
    // 28 of the picture's pixels at the picture's scale, 28 points on the design screen, so the
    // field names drawn in the rows stay level with the fields on every screen.
    const double pictureHeight = formImage.pixelSize().height;
    const double header = pictureHeight > 0 ? 28 * form.height() / pictureHeight : 28 * sH;
    const double third = (form.height() - header) / 3;
    const double y0 = form.y() + header + (third - 30 * sH) / 2;
    const double x = form.x() + form.width() / 5 * 1.5;
    const double width = form.width() / 5 * 3.3;
    m_account = makeField(x, y0, width, 0, QStringLiteral("请输入账号"));
    m_account->setReturnKeyType(ui::ReturnKeyType::Next);
    m_pwd = makeField(x, y0 + third, width, 1, QStringLiteral("请输入密码"));
    m_pwd->setReturnKeyType(ui::ReturnKeyType::Next);
    m_pwd->setSecureTextEntry(true);
    m_resPwd = makeField(x, y0 + 2 * third, width, 2, QStringLiteral("请输入确认密码"));
    m_resPwd->setReturnKeyType(ui::ReturnKeyType::Go);
    m_resPwd->setSecureTextEntry(true);

    auto self = std::static_pointer_cast<RegisterViewController>(shared_from_this());
    m_resBtn = ImageButton::create(QStringLiteral("registerbtn"), QStringLiteral("立即注册"));
    const ui::Size button = m_resBtn->frame().size;
    m_resBtn->setFrame(ui::Rect((W - button.width) / 2, form.maxY() + 20, button.width, button.height));
    m_resBtn->addTarget(self, &RegisterViewController::registerClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_resBtn);

    addAgreementLine();
    requestAgreement();
}

std::shared_ptr<ui::TextField> RegisterViewController::makeField(double x, double y, double width, int tag,
                                                                 const QString& placeholder)
{
    const double sH = CommonUtil::getScaleHeight();
    auto field = ui::TextField::create(ui::Rect(x, y, width, 30 * sH));
    field->setBackgroundColor(ui::Color::white());
    field->setBorderStyle(ui::TextBorderStyle::RoundedRect);
    field->setFont(ui::Font::systemFont(14 * sH));
    field->setDelegate(std::static_pointer_cast<RegisterViewController>(shared_from_this()));
    field->setTag(tag);
    field->setPlaceholder(placeholder);
    field->setAccessibilityLabel(placeholder);
    view()->addSubview(field);
    return field;
}

void RegisterViewController::addAgreementLine()
{
    const double sH = CommonUtil::getScaleHeight();
    const double size = CommonUtil::designSize(14);
    const ui::Rect b = m_resBtn->frame();
    const double y = b.maxY() + 40;

    auto label = ui::Label::create(ui::Rect(b.x(), y, 110 * sH, 16));
    label->setText(QStringLiteral("注册即代表已阅读并同意"));
    label->setFont(ui::Font::boldSystemFont(size));
    label->setTextAlignment(ui::TextAlignment::Left);
    label->setBackgroundColor(ui::Color::clear());
    widenToText(*label, *label);
    view()->addSubview(label);

    auto link = ui::Button::create(ui::ButtonType::Custom);
    link->setFrame(ui::Rect(label->frame().maxX(), y, 100 * sH, 16));
    link->setTitle(QString::fromUtf8(kAgreementTitle), ui::ControlState::Normal);
    link->setTitleColor(CommonUtil::UIColorFromRGB(0x6FD7FD), ui::ControlState::Normal);
    link->titleLabel()->setFont(ui::Font::boldSystemFont(size));
    widenToText(*link, *link->titleLabel());
    link->titleLabel()->setTextAlignment(ui::TextAlignment::Left);
    link->setContentHorizontalAlignment(ui::ContentHorizontalAlignment::Left);
    link->setShowsTouchWhenHighlighted(false);
    auto self = std::static_pointer_cast<RegisterViewController>(shared_from_this());
    link->addTarget(self, &RegisterViewController::openUrl, ui::ControlEvent::TouchUpInside);
    view()->addSubview(link);
}

void RegisterViewController::requestAgreement()
{
    // The address does not depend on the (still empty) fields, but the server expects both keys.
    const core::FormBody body{{QStringLiteral("account"), m_account->text()}, {QStringLiteral("pwd"), m_pwd->text()}};
    auto self = std::static_pointer_cast<RegisterViewController>(shared_from_this());
    m_agreementRequest = ServerRequest::send(QStringLiteral("exam/pactUrl_list"), body, AgreementTag, view(), self);
}

bool RegisterViewController::shouldChangeCharactersInRange(ui::TextField& field, ui::TextRange, const QString& string)
{
    if (string != QLatin1String("\n"))
        return true;
    // Return never sends here, so it walks through the form even while a request runs.
    switch (field.tag()) {
    case 0:
        m_pwd->becomeFirstResponder();
        return true;
    case 1:
        m_resPwd->becomeFirstResponder();
        return true;
    default:
        field.resignFirstResponder();
        return false;
    }
}

QString RegisterViewController::checkFields() const
{
    if (m_account->text().length() < 6)
        return QStringLiteral("用户名不能少于6位？？");
    if (m_pwd->text().length() < 6)
        return QStringLiteral("秘密不能少于6位？？");
    if (m_pwd->text() != m_resPwd->text())
        return QStringLiteral("两次密码输入不相同？？");
    return QString();
}

void RegisterViewController::registerClick(const std::shared_ptr<ui::Control>&)
{
    const QString failure = checkFields();
    if (!failure.isEmpty()) {
        CommonUtil::errorAlert(failure, view());
        return;
    }
    const core::FormBody body{{QStringLiteral("account"), m_account->text()}, {QStringLiteral("pwd"), m_pwd->text()}};
    auto self = std::static_pointer_cast<RegisterViewController>(shared_from_this());
    m_registerRequest = ServerRequest::send(QStringLiteral("user/register"), body, RegisterTag, view(), self);
}

void RegisterViewController::requestDidFinish(ServerRequest& request)
{
    // Closed by its back button while the request ran.
    if (!m_account)
        return;
    core::log(QStringLiteral("RegisterViewController"), request.text());
    if (request.tag() == AgreementTag)
        keepAgreement(request);
    else
        finishRegistration(request);
}

void RegisterViewController::keepAgreement(ServerRequest& request)
{
    const auto reply = request.json();
    if (!reply)
        return;
    const QJsonValue address = core::Record::value(*reply, {QStringLiteral("0"), QStringLiteral("pactUrl")});
    if (address.isString())
        m_xyurl = address.toString();
}

void RegisterViewController::finishRegistration(ServerRequest& request)
{
    const QString text = request.text();
    if (text == QLatin1String("2")) {
        CommonUtil::errorAlert(QStringLiteral("该账号已注册"), view());
        return;
    }
    // "1" is the server's refusal; anything else that is not an account object (an error
    // page, a list) is one too, and must not replace the held account.
    const auto reply = text == QLatin1String("1") ? std::optional<QJsonValue>() : request.json();
    if (!reply || !reply->isObject()) {
        CommonUtil::errorAlert(QStringLiteral("注册失败"), view());
        return;
    }
    CommonUtil::setAccount(reply->toObject());
    // The completion keeps this screen, and through it the login screen, until it has gone.
    auto self = std::static_pointer_cast<RegisterViewController>(shared_from_this());
    dismissViewController(true, [self] {
        if (auto d = self->delegate())
            d->regsiterOk();
    });
}

void RegisterViewController::openUrl(const std::shared_ptr<ui::Control>&)
{
    auto page = WebViewController::create();
    page->setUrl(m_xyurl);
    presentViewController(page, true, [] {});
}

void RegisterViewController::releaseReferences()
{
    m_agreementRequest.reset();
    m_registerRequest.reset();
    m_account.reset();
    m_pwd.reset();
    m_resBtn.reset();
    m_resPwd.reset();
    m_delegate.reset();
}
