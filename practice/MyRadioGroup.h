#pragma once

#include "practice/MyRadioBtnDelegate.h"
#include "practice/OptionGroup.h"

#include <memory>
#include <vector>

class MyRadioBtn;
class MyRadioGroupDelegate;

// A single-choice group: its value is the value of the option picked last; picking one
// unselects the options of other values. A vertical group stacks its options as they are
// added; a horizontal one leaves them where the builder placed them. The delegate is held
// weakly.
class MyRadioGroup : public OptionGroup, public MyRadioBtnDelegate {
public:
    static std::shared_ptr<MyRadioGroup> create(const ui::Rect& frame = ui::Rect());

    void addRadioBtn(const std::shared_ptr<MyRadioBtn>& option);
    // Selects every option of this value from code; the delegate hears each selection and
    // then once more.
    void setClickValue(const QString& value);
    MyRadioBtn* getRadioBtn() const { return nullptr; }
    std::vector<std::shared_ptr<MyRadioBtn>> radioBtns() const;

    bool horizontal() const { return m_horizontal; }
    void setHorizontal(bool horizontal) { m_horizontal = horizontal; }

    std::shared_ptr<MyRadioGroupDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<MyRadioGroupDelegate>& delegate) { m_delegate = delegate; }

    void clickValue(const QString& value) override;
    void replaseWidth() override { restack(); }

protected:
    explicit MyRadioGroup(const ui::Rect& frame);

    void reportHeight(double height, double oldHeight) override;
    void clearDelegate() override { m_delegate.reset(); }

private:
    void reportClick();

    bool m_horizontal = false;
    std::weak_ptr<MyRadioGroupDelegate> m_delegate;
};
