#pragma once

#include <QJsonObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

class MyCheckBoxGroupDelegate;
class MyRadioGroupDelegate;
class OptionGroup;
namespace ui {
class Rect;
class ScrollView;
class View;
class WebView;
class WebViewDelegate;
}

// One question of a practice run and everything the screen shows for it: the page (a
// vertical scroll view), the question text, the answer widgets (one per sub-question, the
// first one graded) and the analysis once asked for. The screen finds a question's views
// here rather than by view tags, so any number of questions works.
//
// The page lays itself out from its children: text on top, the widgets stacked below it,
// the analysis below them; its content height is the bottom of the last of them.
class ExamPage {
public:
    ExamPage(int index, QJsonObject question);
    ~ExamPage();

    // Builds the page at `frame` inside the paging view and starts loading the question text.
    void build(const ui::Rect& frame, double fontSize, const std::shared_ptr<ui::WebViewDelegate>& delegate);
    // The widgets of every sub-question, once the question text has loaded (or failed).
    void addWidgets(double fontSize, const std::shared_ptr<MyRadioGroupDelegate>& radioDelegate,
                    const std::shared_ptr<MyCheckBoxGroupDelegate>& checkDelegate);
    // Adds the analysis view, or reloads it in place.
    void showAnalysis(double fontSize, const std::shared_ptr<ui::WebViewDelegate>& delegate);
    // Restacks the children after a size change and sets the content height.
    void layout();
    // Lets the option groups go (they hold their options and report to the screen).
    void tearDown();

    int index() const { return m_index; }
    const QJsonObject& question() const { return m_question; }
    QJsonObject firstSubQuestion() const;
    int subCategory() const;
    bool isGraded() const;

    std::shared_ptr<ui::ScrollView> page() const { return m_page; }
    std::shared_ptr<ui::WebView> questionView() const { return m_questionView; }
    std::shared_ptr<ui::WebView> analysisView() const { return m_analysisView; }
    const std::vector<std::shared_ptr<ui::View>>& widgets() const { return m_widgets; }
    bool textLoaded() const { return m_textLoaded; }
    void setTextLoaded() { m_textLoaded = true; }

    // The value of the first widget: a group's value or the typed text; none before the
    // widgets exist.
    std::optional<QString> answerValue() const;
    // The analysis HTML in the run's text size.
    QString analysisHtml(double fontSize) const;

    static QString questionHtml(const QJsonObject& question, double fontSize);
    static QString badgeName(int category);
    static QString optionLetter(int orderby);

    static constexpr int PageTagBase = 1000;
    static constexpr int WidgetTagBase = 3000;
    static constexpr int AnalysisTagBase = 500;

private:
    std::shared_ptr<ui::View> makeWidget(const QJsonObject& sub, double fontSize,
                                         const std::shared_ptr<MyRadioGroupDelegate>& radioDelegate,
                                         const std::shared_ptr<MyCheckBoxGroupDelegate>& checkDelegate);
    std::shared_ptr<ui::View> makeRadioGroup(const QJsonObject& sub, double fontSize,
                                             const std::shared_ptr<MyRadioGroupDelegate>& delegate);
    std::shared_ptr<ui::View> makeTrueFalseGroup(double fontSize, const std::shared_ptr<MyRadioGroupDelegate>& delegate);
    std::shared_ptr<ui::View> makeCheckBoxGroup(const QJsonObject& sub, double fontSize,
                                                const std::shared_ptr<MyCheckBoxGroupDelegate>& delegate);
    std::shared_ptr<ui::View> makeTextView();
    QString yourAnswerText() const;
    QString rightAnswerText() const;

    int m_index;
    QJsonObject m_question;
    std::shared_ptr<ui::ScrollView> m_page;
    std::shared_ptr<ui::WebView> m_questionView;
    std::shared_ptr<ui::WebView> m_analysisView;
    std::vector<std::shared_ptr<ui::View>> m_widgets;
    bool m_textLoaded = false;
};
