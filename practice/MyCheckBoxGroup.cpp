#include "practice/MyCheckBoxGroup.h"

#include "practice/MyCheckBox.h"
#include "practice/MyCheckBoxGroupDelegate.h"

#include <algorithm>

std::shared_ptr<MyCheckBoxGroup> MyCheckBoxGroup::create(const ui::Rect& frame)
{
    return std::shared_ptr<MyCheckBoxGroup>(new MyCheckBoxGroup(frame));
}

MyCheckBoxGroup::MyCheckBoxGroup(const ui::Rect& frame)
    : OptionGroup(frame)
{
}

std::vector<std::shared_ptr<MyCheckBox>> MyCheckBoxGroup::checkBoxBtns() const
{
    std::vector<std::shared_ptr<MyCheckBox>> result;
    for (const auto& option : options())
        result.push_back(std::static_pointer_cast<MyCheckBox>(option));
    return result;
}

void MyCheckBoxGroup::addCheckBoxBtn(const std::shared_ptr<MyCheckBox>& box)
{
    box->setDelegate(std::static_pointer_cast<MyCheckBoxGroup>(shared_from_this()));
    double shift = 0;
    double height = box->frame().height() + interval();
    if (!options().empty()) {
        shift = options().back()->frame().height() + interval();
        height += shift;
    }
    ui::Rect f = box->frame();
    f.origin.y += shift;
    box->setFrame(f);
    appendOption(box);

    double width = 0;
    for (const auto& option : options())
        width = std::max(width, option->frame().width());
    ui::Rect g = frame();
    g.size = ui::Size(width, height);
    setFrame(g);
    coverOptions();
}

void MyCheckBoxGroup::clickValue(const QString&)
{
    QString value = QStringLiteral("");
    for (const auto& box : checkBoxBtns()) {
        if (box->isClilck())
            value += box->getClickValue();
    }
    setValue(value);
}

void MyCheckBoxGroup::reportHeight(double height, double oldHeight)
{
    auto self = shared_from_this();
    if (auto d = delegate())
        d->replaseCheckBoxGroupHeight(height, oldHeight, tag());
}
