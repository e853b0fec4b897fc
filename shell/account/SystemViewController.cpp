#include "shell/account/SystemViewController.h"

#include "appbase/CommonUtil.h"
#include "components/sidepanel/SidePanelController.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "practice/ExamSetViewController.h"
#include "shell/account/AccountInfoViewController.h"
#include "shell/account/FeedAndScroooViewController.h"
#include "appbase/ImageButton.h"
#include "shell/account/StyleViewController.h"
#include "shell/account/StyleViewControllerDelegate.h"

std::shared_ptr<SystemViewController> SystemViewController::create()
{
    return std::shared_ptr<SystemViewController>(new SystemViewController());
}

SystemViewController::SystemViewController()
    : ChromeViewController(QStringLiteral("系统设置"))
{
}

void SystemViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    const double k = CommonUtil::getScaleHeight();
    double bottom = addMenuButton(QStringLiteral("accountInfobtn"), QStringLiteral("账号信息"), 100 * k,
                                  &SystemViewController::accountClick);
    bottom = addMenuButton(QStringLiteral("noticebtn"), QStringLiteral("试题设置"), bottom,
                           &SystemViewController::noticeClick);
    bottom = addMenuButton(QStringLiteral("style_btn"), QStringLiteral("风格设置"), bottom + 20,
                           &SystemViewController::styleClick);
    bottom = addMenuButton(QStringLiteral("FeedbackandScorebtn"), QStringLiteral("反馈与评分"), bottom + 20,
                           &SystemViewController::feedBackClick);
    addVersion(bottom);

    auto signOut = ImageButton::create(QStringLiteral("login_out"), QStringLiteral("退出登录"));
    const ui::Size size = signOut->frame().size;
    signOut->setFrame(ui::Rect((CommonUtil::getSysWidth() - size.width) / 2, CommonUtil::getSysHeight() - 15 - size.height,
                               size.width, size.height));
    signOut->addTarget(std::static_pointer_cast<SystemViewController>(shared_from_this()),
                       &SystemViewController::loginOutClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(signOut);
}

double SystemViewController::addMenuButton(const QString& image, const QString& caption, double y, Action action)
{
    auto button = ImageButton::create(image, caption);
    const ui::Size size = button->frame().size;
    button->setFrame(ui::Rect((CommonUtil::getSysWidth() - size.width) / 2, y, size.width, size.height));
    button->addTarget(std::static_pointer_cast<SystemViewController>(shared_from_this()), action,
                      ui::ControlEvent::TouchUpInside);
    view()->addSubview(button);
    return button->frame().maxY();
}

void SystemViewController::addVersion(double y)
{
    const ui::Image image = ui::Image::named(CommonUtil::getImageName("versionbg", ".png"));
    const ui::Size size = CommonUtil::scaledSize(image, CommonUtil::getScale());
    auto band = ui::ImageView::create(ui::Rect((CommonUtil::getSysWidth() - size.width) / 2, y, size.width, size.height));
    band->setImage(image);
    view()->addSubview(band);

    const ui::Rect b = band->frame();
    auto label = ui::Label::create(ui::Rect(b.x() + 10, b.y() + (b.height() - 20) / 2, 200, 20));
    // A build without a version shows the prefix alone.
    label->setText(QStringLiteral("版本号：") + CommonUtil::getVersion());
    label->setFont(ui::Font::boldSystemFont(20));
    label->setTextAlignment(ui::TextAlignment::Left);
    view()->addSubview(label);
    m_versionLabel = label;
}

void SystemViewController::accountClick(const std::shared_ptr<ui::Control>&)
{
    presentViewController(AccountInfoViewController::create(), true, [] {});
}

void SystemViewController::noticeClick(const std::shared_ptr<ui::Control>&)
{
    presentViewController(ExamSetViewController::create(), true, [] {});
}

void SystemViewController::styleClick(const std::shared_ptr<ui::Control>&)
{
    auto style = StyleViewController::create();
    // Presented through the side-panel container, the menu reaches the home screen as the
    // container's centre; the style notice goes straight there.
    if (auto container = std::dynamic_pointer_cast<SidePanelController>(presentingViewController()))
        style->setDelegate(std::dynamic_pointer_cast<StyleViewControllerDelegate>(container->centerController()));
    presentViewController(style, true, [] {});
}

void SystemViewController::feedBackClick(const std::shared_ptr<ui::Control>&)
{
    presentViewController(FeedAndScroooViewController::create(), true, [] {});
}

void SystemViewController::loginOutClick(const std::shared_ptr<ui::Control>&)
{
    CommonUtil::setAccount(std::nullopt);
    dismissViewController(true, [] {});
}
