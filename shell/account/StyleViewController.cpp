#include "shell/account/StyleViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/View.h"
#include "shell/account/StyleViewControllerDelegate.h"

#include <cmath>

namespace {

const char* const kCaptions[] = {"风格一", "风格二", "风格三", "风格四"};

} // namespace

std::shared_ptr<StyleViewController> StyleViewController::create()
{
    return std::shared_ptr<StyleViewController>(new StyleViewController());
}

StyleViewController::StyleViewController()
    : ChromeViewController(QStringLiteral("风格设置"))
{
}

void StyleViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    const double k = CommonUtil::getScaleHeight();
    // Every thumbnail has one size, whatever its image's own.
    const double tw = std::trunc((CommonUtil::getSysWidth() - 30 * k) / 2);
    const double th = std::trunc((CommonUtil::getSysHeight() - 110 * k) / 2);
    const ui::Rect first(10 * k, 90 * k, tw, th);
    const ui::Rect second(20 * k + tw, 90 * k, tw, th);
    // The row gap is 10 points on every screen.
    addThumbnail(1, first, &StyleViewController::style1Clcik);
    addThumbnail(2, second, &StyleViewController::style2Clcik);
    addThumbnail(3, ui::Rect(first.x(), first.maxY() + 10, tw, th), &StyleViewController::style3Clcik);
    addThumbnail(4, ui::Rect(second.x(), second.maxY() + 10, tw, th), &StyleViewController::style4Clcik);
}

void StyleViewController::addThumbnail(int style, const ui::Rect& frame, Action action)
{
    // Spelled out so the artwork check sees every name.
    const QString names[] = {CommonUtil::getImageName("main_bg01", ".png"), CommonUtil::getImageName("main_bg02", ".png"),
                             CommonUtil::getImageName("main_bg03", ".png"), CommonUtil::getImageName("main_bg04", ".png")};
    const ui::Image image = ui::Image::named(names[(style - 1) & 3]);
    auto button = ui::Button::create(frame);
    ImageButton::style(*button, image);
    button->setAccessibilityLabel(QString::fromUtf8(kCaptions[style - 1]));
    button->addTarget(std::static_pointer_cast<StyleViewController>(shared_from_this()), action,
                      ui::ControlEvent::TouchUpInside);
    view()->addSubview(button);
}

void StyleViewController::style1Clcik(const std::shared_ptr<ui::Control>&) { choose(1); }
void StyleViewController::style2Clcik(const std::shared_ptr<ui::Control>&) { choose(2); }
void StyleViewController::style3Clcik(const std::shared_ptr<ui::Control>&) { choose(3); }
void StyleViewController::style4Clcik(const std::shared_ptr<ui::Control>&) { choose(4); }

void StyleViewController::choose(int style)
{
    auto self = shared_from_this();
    CommonUtil::setStyle(style);
    if (auto d = delegate())
        d->showMainStyle();
    dismissViewController(true, [] {});
}

void StyleViewController::releaseReferences()
{
    m_delegate.reset();
}
