#include "practice/MyRadioBtn.h"

#include "practice/MyRadioBtnDelegate.h"

std::shared_ptr<MyRadioBtn> MyRadioBtn::create(const ui::Rect& frame)
{
    auto option = std::shared_ptr<MyRadioBtn>(new MyRadioBtn(frame));
    option->installTap();
    return option;
}

MyRadioBtn::MyRadioBtn(const ui::Rect& frame)
    : OptionBox(frame)
{
}

void MyRadioBtn::handlesengleTap(ui::GestureRecognizer&)
{
    setClick();
}

void MyRadioBtn::setClick()
{
    setIsClilck(true);
    showSelected();
    reportClickValue();
}

double MyRadioBtn::widthWithoutCaption(double imageWidth, bool hadButton) const
{
    return hadButton || frame().width() <= 0 ? imageWidth : frame().width();
}

double MyRadioBtn::captionWidthBesideTallerButton(double imageWidth) const
{
    return frame().width() - imageWidth;
}

void MyRadioBtn::reportClickValue()
{
    auto self = shared_from_this();
    if (auto d = delegate())
        d->clickValue(getClickValue());
}

void MyRadioBtn::reportReplaseWidth()
{
    auto self = shared_from_this();
    if (auto d = delegate())
        d->replaseWidth();
}
