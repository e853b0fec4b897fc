#pragma once

#include "appbase/ChromeViewController.h"
#include "platform/ui/TextFieldDelegate.h"

#include <QStringList>
#include <memory>

namespace ui {
class Button;
class Control;
class TextField;
}
class MyRadioGroup;

// The practice settings screen: text size, chapter-practice draw count, draw order and the
// automatic next page and analysis after a single-choice pick. It shows CommonUtil's values,
// and submit writes them back and saves; back writes nothing. Controls are found by tag.
class ExamSetViewController : public ChromeViewController, public ui::TextFieldDelegate {
public:
    static constexpr int kFontGroupTag = 2001;
    static constexpr int kSpecialNumFieldTag = 2003;
    static constexpr int kDistillGroupTag = 2004;
    static constexpr int kShowAnalyzeGroupTag = 2005;
    static constexpr int kNextGroupTag = 2006;

    static std::shared_ptr<ExamSetViewController> create();

    std::shared_ptr<ui::Button> submit() const { return m_submit; }
    void setSubmit(const std::shared_ptr<ui::Button>& submit) { m_submit = submit; }

    void submitClick(const std::shared_ptr<ui::Control>& sender);

    bool shouldChangeCharactersInRange(ui::TextField& field, ui::TextRange range, const QString& string) override;

protected:
    ExamSetViewController();

    void viewDidLoad() override;
    void releaseReferences() override;

private:
    void addCaption(int row, const QString& caption);
    // `options` lists each option's selected image, normal image, value and label in turn.
    void addOptionGroup(int row, int tag, const QStringList& options, const QString& picked);
    std::shared_ptr<ui::TextField> addCountField(int row, int tag, int count);
    void addSubmitButton();
    double rowTop(int row) const;
    double rowHeight() const;
    double controlX() const;

    std::shared_ptr<ui::Button> m_submit;
};
