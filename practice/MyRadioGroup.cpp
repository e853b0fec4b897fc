#include "practice/MyRadioGroup.h"

#include "practice/MyRadioBtn.h"
#include "practice/MyRadioGroupDelegate.h"

std::shared_ptr<MyRadioGroup> MyRadioGroup::create(const ui::Rect& frame)
{
    return std::shared_ptr<MyRadioGroup>(new MyRadioGroup(frame));
}

MyRadioGroup::MyRadioGroup(const ui::Rect& frame)
    : OptionGroup(frame)
{
}

std::vector<std::shared_ptr<MyRadioBtn>> MyRadioGroup::radioBtns() const
{
    std::vector<std::shared_ptr<MyRadioBtn>> result;
    for (const auto& option : options())
        result.push_back(std::static_pointer_cast<MyRadioBtn>(option));
    return result;
}

void MyRadioGroup::addRadioBtn(const std::shared_ptr<MyRadioBtn>& option)
{
    option->setDelegate(std::static_pointer_cast<MyRadioGroup>(shared_from_this()));
    if (!m_horizontal && !options().empty()) {
        const ui::Rect last = options().back()->frame();
        ui::Rect f = option->frame();
        f.origin.y += last.y() + last.height();
        option->setFrame(f);
    }
    appendOption(option);
    coverOptions();
}

void MyRadioGroup::clickValue(const QString& value)
{
    auto self = shared_from_this();
    setValue(value);
    for (const auto& option : radioBtns()) {
        if (option->getClickValue() != value)
            option->noClick();
    }
    reportClick();
}

void MyRadioGroup::setClickValue(const QString& value)
{
    auto self = shared_from_this();
    for (const auto& option : radioBtns()) {
        if (option->getClickValue() == value)
            option->setClick();
    }
    reportClick();
}

void MyRadioGroup::reportClick()
{
    if (auto d = delegate())
        d->radioBtnClick(tag());
}

void MyRadioGroup::reportHeight(double height, double oldHeight)
{
    if (auto d = delegate())
        d->replaseRadioGroupHeight(height, oldHeight, tag());
}
