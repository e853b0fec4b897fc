#include "shell/account/FeedAndScroooViewController.h"

#include "appbase/CommonUtil.h"
#include "platform/ui/Button.h"
#include "platform/ui/View.h"
#include "shell/account/FeedViewController.h"
#include "appbase/ImageButton.h"

std::shared_ptr<FeedAndScroooViewController> FeedAndScroooViewController::create()
{
    return std::shared_ptr<FeedAndScroooViewController>(new FeedAndScroooViewController());
}

FeedAndScroooViewController::FeedAndScroooViewController()
    : ChromeViewController(QStringLiteral("反馈与评分"))
{
}

void FeedAndScroooViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    const double W = CommonUtil::getSysWidth();
    auto feed = ImageButton::create(QStringLiteral("feedbtn"), QStringLiteral("用户反馈"));
    const ui::Size feedSize = feed->frame().size;
    feed->setFrame(ui::Rect((W - feedSize.width) / 2, 100 * CommonUtil::getScaleHeight(), feedSize.width,
                            feedSize.height));
    feed->addTarget(std::static_pointer_cast<FeedAndScroooViewController>(shared_from_this()),
                    &FeedAndScroooViewController::feedClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(feed);

    auto rate = ImageButton::create(QStringLiteral("feed_02"), QStringLiteral("给我们评分"));
    const ui::Size rateSize = rate->frame().size;
    rate->setFrame(ui::Rect((W - rateSize.width) / 2, feed->frame().maxY(), rateSize.width, rateSize.height));
    view()->addSubview(rate);
}

void FeedAndScroooViewController::feedClick(const std::shared_ptr<ui::Control>&)
{
    presentViewController(FeedViewController::create(), true, [] {});
}
