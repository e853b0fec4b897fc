#include "practice/MyCheckBox.h"

#include "practice/MyCheckBoxDelegate.h"

std::shared_ptr<MyCheckBox> MyCheckBox::create(const ui::Rect& frame)
{
    auto box = std::shared_ptr<MyCheckBox>(new MyCheckBox(frame));
    box->installTap();
    return box;
}

MyCheckBox::MyCheckBox(const ui::Rect& frame)
    : OptionBox(frame)
{
}

void MyCheckBox::handlesengleTap(ui::GestureRecognizer&)
{
    if (isClilck()) {
        showUnselected();
        setIsClilck(false);
    } else {
        showSelected();
        setIsClilck(true);
    }
    reportClickValue();
}

double MyCheckBox::widthWithoutCaption(double, bool) const
{
    return frame().width();
}

double MyCheckBox::captionWidthBesideTallerButton(double imageWidth) const
{
    return frame().width() - imageWidth - kCaptionGap;
}

void MyCheckBox::reportClickValue()
{
    auto self = shared_from_this();
    if (auto d = delegate())
        d->clickValue(getClickValue());
}

void MyCheckBox::reportReplaseWidth()
{
    auto self = shared_from_this();
    if (auto d = delegate())
        d->replaseWidth();
}
