#pragma once

#include "practice/OptionBox.h"

#include <memory>

class MyCheckBoxDelegate;

// A multiple-choice box: each tap flips it and reports its value. The box keeps the width
// its builder gave it. The delegate (its group) is held weakly.
class MyCheckBox : public OptionBox {
public:
    static std::shared_ptr<MyCheckBox> create(const ui::Rect& frame = ui::Rect());

    void handlesengleTap(ui::GestureRecognizer& recognizer) override;

    std::shared_ptr<MyCheckBoxDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<MyCheckBoxDelegate>& delegate) { m_delegate = delegate; }

protected:
    explicit MyCheckBox(const ui::Rect& frame);

    double widthWithoutCaption(double imageWidth, bool hadButton) const override;
    double captionWidthBesideTallerButton(double imageWidth) const override;
    void reportClickValue() override;
    void reportReplaseWidth() override;
    void clearDelegate() override { m_delegate.reset(); }

private:
    std::weak_ptr<MyCheckBoxDelegate> m_delegate;
};
