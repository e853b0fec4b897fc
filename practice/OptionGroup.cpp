#include "practice/OptionGroup.h"

#include "practice/OptionBox.h"

#include <algorithm>

OptionGroup::OptionGroup(const ui::Rect& frame)
    : ui::View(frame)
{
}

void OptionGroup::appendOption(const std::shared_ptr<OptionBox>& option)
{
    addSubview(option);
    m_options.push_back(option);
}

void OptionGroup::coverOptions()
{
    double bottom = 0;
    for (const auto& option : m_options)
        bottom = std::max(bottom, option->frame().y() + option->frame().height());
    if (bottom <= frame().height())
        return;
    ui::Rect f = frame();
    f.size.height = bottom;
    setFrame(f);
}

void OptionGroup::restack()
{
    auto self = shared_from_this();
    const double oldHeight = frame().height();
    double total = 0;
    for (const auto& option : m_options) {
        ui::Rect f = option->frame();
        total += m_interval + f.height();
        f.origin.y = total - f.height();
        option->setFrame(f);
    }
    ui::Rect f = frame();
    f.size.height = total;
    setFrame(f);
    reportHeight(total, oldHeight);
}

void OptionGroup::reunload()
{
    auto self = shared_from_this();
    clearDelegate();
    m_value = QString();
    const auto options = m_options;
    m_options.clear();
    for (const auto& option : options) {
        option->reunload();
        option->removeFromSuperview();
    }
    const auto subviews = this->subviews();
    for (const auto& sub : subviews)
        sub->removeFromSuperview();
}
