#pragma once

#include "practice/OptionBox.h"

#include <memory>

class MyRadioBtnDelegate;

// A single-choice option: a tap selects it (again if it already is) and reports its value.
// The delegate (its group) is held weakly.
class MyRadioBtn : public OptionBox {
public:
    static std::shared_ptr<MyRadioBtn> create(const ui::Rect& frame = ui::Rect());

    void handlesengleTap(ui::GestureRecognizer& recognizer) override;
    // Selects from code and reports, exactly as a tap does.
    void setClick();

    std::shared_ptr<MyRadioBtnDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<MyRadioBtnDelegate>& delegate) { m_delegate = delegate; }

protected:
    explicit MyRadioBtn(const ui::Rect& frame);

    double widthWithoutCaption(double imageWidth, bool hadButton) const override;
    double captionWidthBesideTallerButton(double imageWidth) const override;
    void reportClickValue() override;
    void reportReplaseWidth() override;
    void clearDelegate() override { m_delegate.reset(); }

private:
    std::weak_ptr<MyRadioBtnDelegate> m_delegate;
};
