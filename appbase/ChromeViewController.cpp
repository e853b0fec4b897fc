#include "appbase/ChromeViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"

ChromeViewController::ChromeViewController(QString screenTitle, Dismissal dismissal)
    : m_screenTitle(std::move(screenTitle))
    , m_dismissal(dismissal)
{
}

double ChromeViewController::contentTop()
{
    return CommonUtil::getSysHeight() / 7;
}

void ChromeViewController::viewDidLoad()
{
    ui::ViewController::viewDidLoad();
    addBackground();
    addBackButton();
    addTitle();
}

void ChromeViewController::addBackground()
{
    m_background = ui::ImageView::create(ui::Rect(0, 0, CommonUtil::getSysWidth(), CommonUtil::getSysHeight()));
    m_background->setImage(ui::Image::named(CommonUtil::getImageName("allBg", ".png")));
    view()->addSubview(m_background);
    view()->sendSubviewToBack(m_background);
}

void ChromeViewController::addBackButton()
{
    m_backButton = ImageButton::create("back_btn", QStringLiteral("返回"));
    const ui::Size size = m_backButton->frame().size;
    m_backButton->setFrame(ui::Rect(10, (contentTop() - size.height) / 2, size.width, size.height));
    auto self = std::static_pointer_cast<ChromeViewController>(shared_from_this());
    m_backButton->addTarget(self, &ChromeViewController::backClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_backButton);
}

void ChromeViewController::addTitle()
{
    const double t = CommonUtil::designSize(40);
    m_titleLabel = ui::Label::create(ui::Rect(0, (contentTop() - t) / 2, CommonUtil::getSysWidth(), t));
    m_titleLabel->setText(m_screenTitle);
    m_titleLabel->setFont(ui::Font::boldSystemFont(t));
    m_titleLabel->setTextAlignment(ui::TextAlignment::Center);
    m_titleLabel->setBackgroundColor(ui::Color::clear());
    view()->addSubview(m_titleLabel);
}

void ChromeViewController::backClick(const std::shared_ptr<ui::Control>&)
{
    // While the screen still slides in or out its dismissal is refused: emptied now, it would
    // stay up blank, with no back button left to leave by.
    if (isTransitioning())
        return;
    auto self = shared_from_this();
    releaseReferences();
    // Copy first: removing a subview changes the list.
    const auto subviews = view()->subviews();
    for (const auto& subview : subviews)
        subview->removeFromSuperview();
    dismissViewController(m_dismissal == Dismissal::Animated, [] {});
}
