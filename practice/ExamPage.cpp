#include "practice/ExamPage.h"

#include "appbase/CommonUtil.h"
#include "platform/core/Bundle.h"
#include "platform/core/Record.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Layer.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "platform/ui/WebView.h"
#include "practice/MyCheckBox.h"
#include "practice/MyCheckBoxGroup.h"
#include "practice/MyRadioBtn.h"
#include "practice/MyRadioGroup.h"

#include <QJsonArray>
#include <QUrl>
#include <cmath>

namespace {

double margin()
{
    return 10 / CommonUtil::getSystemScale() * CommonUtil::getScale();
}

// As far as an option group sets its first option in: the answer box keeps that much from
// the question text, and the page's end that much from the screen's bottom edge.
constexpr double kSpacing = 10;

QUrl resourceUrl()
{
    return QUrl::fromLocalFile(core::Bundle::resourcePath() + QLatin1Char('/'));
}

QString sizeText(double size)
{
    return QString::number(size, 'f', 6);
}

// The web view's own scroll shadows are image views; a question page shows none.
void hideScrollImages(ui::WebView& webView)
{
    for (const auto& child : webView.subviews()) {
        if (!std::dynamic_pointer_cast<ui::ScrollView>(child))
            continue;
        for (const auto& inner : child->subviews()) {
            if (std::dynamic_pointer_cast<ui::ImageView>(inner))
                inner->setHidden(true);
        }
    }
}

void styleWebView(ui::WebView& webView)
{
    webView.setBackgroundColor(ui::Color::clear());
    webView.setOpaque(false);
    webView.scrollView()->setShowsHorizontalScrollIndicator(false);
    webView.scrollView()->setShowsVerticalScrollIndicator(false);
    webView.scrollView()->setBounces(false);
}

QString recordText(const QJsonObject& record, const char* key)
{
    return core::Record::screenText(record.value(QString::fromLatin1(key)));
}

// One option per record of the sub-question, in the group's order, its two images named
// after its letter ("radioa_02.png", "checkboxa_01.png", ...).
template<class Option, class Group>
void addLetterOptions(Group& group, void (Group::*add)(const std::shared_ptr<Option>&), const QJsonObject& sub,
                      double fontSize, const QString& imagePrefix)
{
    for (const QJsonValue& value : core::Record::array(sub.value(QStringLiteral("examOptions")))) {
        const QJsonObject option = core::Record::object(value);
        const QString letter = ExamPage::optionLetter(core::Record::intValue(option.value(QStringLiteral("orderby"))));
        const QString lower = letter.toLower();
        auto box = Option::create(ui::Rect(0, 10, group.frame().size.width, 0));
        box->setFontSize(fontSize);
        box->setClickValue(letter);
        box->setImage(QStringLiteral("%1%2_02.png").arg(imagePrefix, lower), QStringLiteral("%1%2_01.png").arg(imagePrefix, lower));
        box->setTitle(recordText(option, "detail"));
        (group.*add)(box);
    }
}

} // namespace

ExamPage::ExamPage(int index, QJsonObject question)
    : m_index(index)
    , m_question(std::move(question))
{
}

ExamPage::~ExamPage() = default;

QJsonObject ExamPage::firstSubQuestion() const
{
    return core::Record::object(core::Record::array(m_question.value(QStringLiteral("smallExams"))).at(0));
}

int ExamPage::subCategory() const
{
    return core::Record::intValue(firstSubQuestion().value(QStringLiteral("category")));
}

bool ExamPage::isGraded() const
{
    if (core::Record::array(m_question.value(QStringLiteral("smallExams"))).isEmpty())
        return false;
    const int category = subCategory();
    return category == 0 || category == 1 || category == 2 || category == 5;
}

QString ExamPage::badgeName(int category)
{
    switch (category) {
    case 0:
    case 6:
        return QStringLiteral("radio_title");
    case 1:
        return QStringLiteral("checkbox_title");
    case 2:
        return QStringLiteral("panduan_title");
    case 3:
        return QStringLiteral("tiankong_title");
    case 4:
        return QStringLiteral("jieda_title");
    case 5:
        return QStringLiteral("budingxiag_title");
    default:
        return QString();
    }
}

QString ExamPage::optionLetter(int orderby)
{
    return orderby >= 0 && orderby <= 5 ? QString(QChar('A' + orderby)) : QStringLiteral("G");
}

QString ExamPage::questionHtml(const QJsonObject& question, double fontSize)
{
    const int category = static_cast<int>(core::Record::longLongValue(question.value(QStringLiteral("category"))));
    const QString badge = badgeName(category);
    QString file;
    int width = 0;
    int height = 0;
    if (!badge.isEmpty()) {
        file = CommonUtil::getImageName(badge, QStringLiteral(".png"));
        // The badge keeps its pixel size over the screen scale, whatever the layout scale.
        const ui::Size pixels = ui::Image::named(file).pixelSize();
        width = static_cast<int>(pixels.width / CommonUtil::getSystemScale());
        height = static_cast<int>(pixels.height / CommonUtil::getSystemScale());
    }
    QString stem = recordText(question, "detail");
    const QJsonArray subs = core::Record::array(question.value(QStringLiteral("smallExams")));
    if (stem.isEmpty() && !subs.isEmpty())
        stem = recordText(core::Record::object(subs.at(0)), "detail");
    return QStringLiteral("<style> body{margin:0;font-size:%1;background-color: transparent;}</style>")
               .arg(sizeText(fontSize + 4))
        + QStringLiteral("<img src='%1'  width='%2' height='%3'>").arg(file).arg(width).arg(height) + stem;
}

void ExamPage::build(const ui::Rect& frame, double fontSize, const std::shared_ptr<ui::WebViewDelegate>& delegate)
{
    const double m = margin();
    m_page = ui::ScrollView::create(frame);
    m_questionView = ui::WebView::create(ui::Rect(m, 10, CommonUtil::getSysWidth() - m, 5));
    hideScrollImages(*m_questionView);
    styleWebView(*m_questionView);
    m_questionView->setDelegate(delegate);
    m_questionView->setTag(m_index);
    m_questionView->scrollView()->setScrollEnabled(false);
    m_page->addSubview(m_questionView);
    m_page->setTag(PageTagBase + m_index);
    m_page->setContentSize(m_questionView->frame().size);
    m_questionView->loadHTMLString(questionHtml(m_question, fontSize), resourceUrl());
}

void ExamPage::addWidgets(double fontSize, const std::shared_ptr<MyRadioGroupDelegate>& radioDelegate,
                          const std::shared_ptr<MyCheckBoxGroupDelegate>& checkDelegate)
{
    if (!m_widgets.empty())
        return;
    const QJsonArray subs = core::Record::array(m_question.value(QStringLiteral("smallExams")));
    for (const QJsonValue& sub : subs) {
        auto widget = makeWidget(core::Record::object(sub), fontSize, radioDelegate, checkDelegate);
        widget->setTag(WidgetTagBase + m_index);
        m_widgets.push_back(widget);
        m_page->addSubview(widget);
    }
    // The true/false pair has no captions to load: stack it now so the group covers both.
    for (const auto& widget : m_widgets) {
        auto group = std::dynamic_pointer_cast<MyRadioGroup>(widget);
        if (group && !group->radioBtns().empty() && !group->radioBtns().front()->title())
            group->restack();
    }
    layout();
}

std::shared_ptr<ui::View> ExamPage::makeWidget(const QJsonObject& sub, double fontSize,
                                               const std::shared_ptr<MyRadioGroupDelegate>& radioDelegate,
                                               const std::shared_ptr<MyCheckBoxGroupDelegate>& checkDelegate)
{
    switch (core::Record::intValue(sub.value(QStringLiteral("category")))) {
    case 0:
        return makeRadioGroup(sub, fontSize, radioDelegate);
    case 1:
    case 5:
        return makeCheckBoxGroup(sub, fontSize, checkDelegate);
    case 2:
        return makeTrueFalseGroup(fontSize, radioDelegate);
    default:
        return makeTextView();
    }
}

std::shared_ptr<ui::View> ExamPage::makeRadioGroup(const QJsonObject& sub, double fontSize,
                                                   const std::shared_ptr<MyRadioGroupDelegate>& delegate)
{
    const double m = margin();
    auto group = MyRadioGroup::create(ui::Rect(m, 0, CommonUtil::getSysWidth() - 4 * m, 0));
    group->setInterval(10);
    group->setDelegate(delegate);
    addLetterOptions<MyRadioBtn>(*group, &MyRadioGroup::addRadioBtn, sub, fontSize, QStringLiteral("radio"));
    return group;
}

std::shared_ptr<ui::View> ExamPage::makeTrueFalseGroup(double fontSize, const std::shared_ptr<MyRadioGroupDelegate>& delegate)
{
    const double m = margin();
    auto group = MyRadioGroup::create(ui::Rect(m, 0, CommonUtil::getSysWidth() - 4 * m, 50));
    group->setInterval(10);
    group->setDelegate(delegate);
    const QString choices[2][3] = {{QStringLiteral("1"), QStringLiteral("checkok_1.png"), QStringLiteral("checkok_2.png")},
                                   {QStringLiteral("0"), QStringLiteral("checkerror_1.png"), QStringLiteral("checkerror_2.png")}};
    for (const auto& choice : choices) {
        auto button = MyRadioBtn::create(ui::Rect(0, 10, group->frame().size.width, 0));
        button->setFontSize(fontSize);
        button->setClickValue(choice[0]);
        button->setImage(choice[1], choice[2]);
        button->setAccessibilityLabel(choice[0] == QLatin1String("1") ? QStringLiteral("对") : QStringLiteral("错"));
        group->addRadioBtn(button);
    }
    return group;
}

std::shared_ptr<ui::View> ExamPage::makeCheckBoxGroup(const QJsonObject& sub, double fontSize,
                                                      const std::shared_ptr<MyCheckBoxGroupDelegate>& delegate)
{
    const double m = margin();
    auto group = MyCheckBoxGroup::create(ui::Rect(m, 0, CommonUtil::getSysWidth() - 4 * m, 0));
    group->setInterval(10);
    group->setDelegate(delegate);
    addLetterOptions<MyCheckBox>(*group, &MyCheckBoxGroup::addCheckBoxBtn, sub, fontSize, QStringLiteral("checkbox"));
    return group;
}

std::shared_ptr<ui::View> ExamPage::makeTextView()
{
    const double m = margin();
    auto text = ui::TextView::create(ui::Rect(m, 0, CommonUtil::getSysWidth() - 2 * m, 100));
    text->setFont(ui::Font::systemFont(16));
    text->layer()->setBorderColor(CommonUtil::UIColorFromRGB(0xEFEEEE));
    text->layer()->setBorderWidth(1);
    text->setAccessibilityLabel(QStringLiteral("答题框"));
    return text;
}

void ExamPage::layout()
{
    if (!m_page)
        return;
    const ui::Rect text = m_questionView->frame();
    double bottom = text.origin.y + text.size.height;
    // Several sub-questions stack their widgets rather than sharing one place.
    for (const auto& widget : m_widgets) {
        ui::Rect frame = widget->frame();
        const bool boxUnderText = widget == m_widgets.front() && std::dynamic_pointer_cast<ui::TextView>(widget);
        frame.origin.y = bottom + (boxUnderText ? kSpacing : 0);
        widget->setFrame(frame);
        bottom = frame.origin.y + frame.size.height;
    }
    if (m_analysisView) {
        ui::Rect frame = m_analysisView->frame();
        frame.origin.y = bottom + 10;
        m_analysisView->setFrame(frame);
        bottom = frame.origin.y + frame.size.height;
    }
    m_page->setContentSize(ui::Size(m_page->frame().size.width, bottom + kSpacing));
}

std::optional<QString> ExamPage::answerValue() const
{
    if (m_widgets.empty())
        return std::nullopt;
    const auto& first = m_widgets.front();
    if (auto group = std::dynamic_pointer_cast<OptionGroup>(first)) {
        const QString value = group->getValue();
        return value.isNull() ? std::nullopt : std::optional<QString>(value);
    }
    if (auto text = std::dynamic_pointer_cast<ui::TextView>(first))
        return text->text();
    return std::nullopt;
}

QString ExamPage::yourAnswerText() const
{
    const auto value = answerValue();
    if (!value || value->isEmpty())
        return QStringLiteral(",你没有答题");
    QString shown = *value;
    if (subCategory() == 2 && isGraded())
        shown = *value == QLatin1String("1") ? QStringLiteral("对") : QStringLiteral("错");
    // Typed text is the user's own: it is shown as text, never read as markup.
    return QStringLiteral(",你的答案《") + shown.toHtmlEscaped() + QStringLiteral("》");
}

QString ExamPage::rightAnswerText() const
{
    const QJsonObject sub = firstSubQuestion();
    const QString answer = core::Record::screenText(sub.value(QStringLiteral("answer")));
    if (subCategory() == 2)
        return answer == QLatin1String("1") ? QStringLiteral("对") : QStringLiteral("错");
    return answer;
}

QString ExamPage::analysisHtml(double fontSize) const
{
    return QStringLiteral("<style> body{margin:0;font-size:%1}</style>").arg(sizeText(fontSize))
        + QStringLiteral("解析：正确答案") + rightAnswerText() + yourAnswerText() + QStringLiteral("<br/><br/><br/>")
        + recordText(m_question, "analyze");
}

void ExamPage::showAnalysis(double fontSize, const std::shared_ptr<ui::WebViewDelegate>& delegate)
{
    if (!m_page)
        return;
    // A refresh keeps the run's text size, so one run never shows analyses in two sizes.
    if (m_analysisView) {
        m_analysisView->loadHTMLString(analysisHtml(fontSize), resourceUrl());
        return;
    }
    const double m = margin();
    m_analysisView = ui::WebView::create(ui::Rect(m, m_page->contentSize().height + 10, CommonUtil::getSysWidth() - m, 5));
    hideScrollImages(*m_analysisView);
    styleWebView(*m_analysisView);
    m_analysisView->loadHTMLString(analysisHtml(fontSize), resourceUrl());
    m_analysisView->setDelegate(delegate);
    m_analysisView->setTag(AnalysisTagBase + m_index);
    m_page->addSubview(m_analysisView);
    layout();
}

void ExamPage::tearDown()
{
    for (const auto& widget : m_widgets) {
        widget->removeFromSuperview();
        if (auto group = std::dynamic_pointer_cast<OptionGroup>(widget))
            group->reunload();
    }
    m_widgets.clear();
    if (m_page) {
        const auto children = m_page->subviews();
        for (const auto& child : children)
            child->removeFromSuperview();
        m_page->removeFromSuperview();
    }
}
