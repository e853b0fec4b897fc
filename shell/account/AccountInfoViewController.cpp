#include "shell/account/AccountInfoViewController.h"

#include "appbase/CommonUtil.h"
#include "platform/core/Record.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

std::shared_ptr<AccountInfoViewController> AccountInfoViewController::create()
{
    return std::shared_ptr<AccountInfoViewController>(new AccountInfoViewController());
}

AccountInfoViewController::AccountInfoViewController()
    : ChromeViewController(QStringLiteral("账号信息"))
{
}

void AccountInfoViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    const ui::Image image = ui::Image::named(CommonUtil::getImageName("accountbg", ".png"));
    const ui::Size size = CommonUtil::scaledSize(image, CommonUtil::getScale());
    auto panel = ui::ImageView::create(ui::Rect((CommonUtil::getSysWidth() - size.width) / 2,
                                                100 * CommonUtil::getScaleHeight(), size.width, size.height));
    panel->setImage(image);
    view()->addSubview(panel);

    // Whole-number places: the lines sit where integer division puts them.
    const int h = static_cast<int>(size.height);
    const int q = (h / 2 - 20) / 3;
    const ui::Rect p = panel->frame();
    auto name = addLine(p.x() + 15, p.y() + q);
    auto pwd = addLine(p.x() + 15, p.y() + q + h / 3);
    m_nameLabel = name;
    m_pwdLabel = pwd;

    const auto& account = CommonUtil::getAccount();
    if (!account)
        return;
    // A missing field shows its prefix alone.
    name->setText(QStringLiteral("账号:  %1").arg(core::Record::screenText(core::Record::value(*account, "username"))));
    pwd->setText(QStringLiteral("密码:  %1").arg(core::Record::screenText(core::Record::value(*account, "pwd"))));
}

std::shared_ptr<ui::Label> AccountInfoViewController::addLine(double x, double y)
{
    auto label = ui::Label::create(ui::Rect(x, y, 200, 20));
    label->setText(QString());
    label->setBackgroundColor(ui::Color::clear());
    label->setFont(ui::Font::boldSystemFont(14));
    label->setTextAlignment(ui::TextAlignment::Left);
    view()->addSubview(label);
    return label;
}
