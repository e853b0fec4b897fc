#pragma once

#include "practice/MyCheckBoxDelegate.h"
#include "practice/OptionGroup.h"

#include <memory>
#include <vector>

class MyCheckBox;
class MyCheckBoxGroupDelegate;

// A multiple-choice group, always vertical: its value is the values of the checked boxes in
// the order the boxes were added ("ACD" whatever the tapping order). It reports only its
// height changes. The delegate is held weakly.
class MyCheckBoxGroup : public OptionGroup, public MyCheckBoxDelegate {
public:
    static std::shared_ptr<MyCheckBoxGroup> create(const ui::Rect& frame = ui::Rect());

    void addCheckBoxBtn(const std::shared_ptr<MyCheckBox>& box);
    MyCheckBox* getCheckBoxBtn() const { return nullptr; }
    std::vector<std::shared_ptr<MyCheckBox>> checkBoxBtns() const;

    std::shared_ptr<MyCheckBoxGroupDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<MyCheckBoxGroupDelegate>& delegate) { m_delegate = delegate; }

    void clickValue(const QString& value) override;
    void replaseWidth() override { restack(); }

protected:
    explicit MyCheckBoxGroup(const ui::Rect& frame);

    void reportHeight(double height, double oldHeight) override;
    void clearDelegate() override { m_delegate.reset(); }

private:
    std::weak_ptr<MyCheckBoxGroupDelegate> m_delegate;
};
