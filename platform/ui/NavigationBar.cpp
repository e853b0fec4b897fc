#include "platform/ui/NavigationBar.h"

#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/NavigationItem.h"

#include <algorithm>

namespace ui {

namespace {
// The title keeps clear of the space that bar buttons take at either end.
constexpr double kTitleInset = 60;
} // namespace

std::shared_ptr<NavigationBar> NavigationBar::create(const Rect& frame)
{
    return std::shared_ptr<NavigationBar>(new NavigationBar(frame));
}

NavigationBar::NavigationBar(const Rect& frame)
    : View(frame)
    , m_titleLabel(Label::create())
{
    setBackgroundColor(Color::fromRGB(0xF7F7F7));
    setAutoresizingMask(Autoresizing::FlexibleWidth | Autoresizing::FlexibleBottomMargin);
    m_titleLabel->setFont(Font::boldSystemFont(17));
    m_titleLabel->setTextAlignment(TextAlignment::Center);
    m_titleLabel->setBackgroundColor(Color::clear());
    m_titleLabel->setOpaque(false);
    addSubview(m_titleLabel);
}

NavigationBar::~NavigationBar()
{
    stopFollowingTopItem();
}

void NavigationBar::setItems(std::vector<std::shared_ptr<NavigationItem>> items)
{
    stopFollowingTopItem();
    m_items = std::move(items);
    followTopItem();
}

std::shared_ptr<NavigationItem> NavigationBar::topItem() const
{
    return m_items.empty() ? nullptr : m_items.back();
}

void NavigationBar::followTopItem()
{
    auto top = topItem();
    m_titleLabel->setText(top ? top->title() : QString());
    if (!top)
        return;
    // Raw captures: the bar clears the listener whenever it lets the item go, its own end included.
    NavigationItem* item = top.get();
    top->onTitleChanged = [this, item] { m_titleLabel->setText(item->title()); };
}

void NavigationBar::stopFollowingTopItem()
{
    if (auto top = topItem())
        top->onTitleChanged = nullptr;
}

void NavigationBar::layoutSubviews()
{
    const Rect b = bounds();
    m_titleLabel->setFrame(Rect(b.x() + kTitleInset, b.y(), std::max(0.0, b.width() - 2 * kTitleInset), b.height()));
}

} // namespace ui
