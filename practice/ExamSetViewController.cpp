#include "practice/ExamSetViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Layer.h"
#include "platform/ui/TextField.h"
#include "practice/MyRadioBtn.h"
#include "practice/MyRadioGroup.h"

namespace {

constexpr int kRowCount = 6;

// Each option: selected image, normal image, value, and the spoken name of its picture.
QStringList fontOptions()
{
    return {QStringLiteral("fontsize_a_02.png"), QStringLiteral("fontsize_a_01.png"), QStringLiteral("0"), QStringLiteral("小"),
            QStringLiteral("fontsize_b_02.png"), QStringLiteral("fontsize_b_01.png"), QStringLiteral("1"), QStringLiteral("中"),
            QStringLiteral("fontsize_c_02.png"), QStringLiteral("fontsize_c_01.png"), QStringLiteral("2"), QStringLiteral("大")};
}

QStringList distillOptions()
{
    return {QStringLiteral("order_distill_02.png"), QStringLiteral("order_distill_01.png"), QStringLiteral("1"), QStringLiteral("顺序"),
            QStringLiteral("rand_distill_02.png"), QStringLiteral("rand_distill_01.png"), QStringLiteral("0"), QStringLiteral("随机")};
}

QStringList yesNoOptions()
{
    return {QStringLiteral("yes_btn_02.png"), QStringLiteral("yes_btn_01.png"), QStringLiteral("1"), QStringLiteral("是"),
            QStringLiteral("no_btn_02.png"), QStringLiteral("no_btn_01.png"), QStringLiteral("0"), QStringLiteral("否")};
}

QString number(int value)
{
    return QString::number(value);
}

} // namespace

std::shared_ptr<ExamSetViewController> ExamSetViewController::create()
{
    return std::shared_ptr<ExamSetViewController>(new ExamSetViewController());
}

ExamSetViewController::ExamSetViewController()
    : ChromeViewController(QStringLiteral("试题设置"))
{
}

double ExamSetViewController::rowHeight() const
{
    return contentTop() * 6 / 8;
}

double ExamSetViewController::rowTop(int row) const
{
    return contentTop() + row * rowHeight();
}

double ExamSetViewController::controlX() const
{
    return 20 + CommonUtil::getSysWidth() * 5 / 8;
}

void ExamSetViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    const QStringList captions = {QStringLiteral("试题文字大小"),         QStringLiteral("专项练习试题抽取数量"),
                                  QStringLiteral("错题本试题抽取数量"),   QStringLiteral("专项练习抽取题的方式"),
                                  QStringLiteral("单选题做完是否自动下一题"), QStringLiteral("单选题做完是否自动给出解析")};
    for (int row = 0; row < kRowCount; ++row)
        addCaption(row, captions.at(row));

    addOptionGroup(0, kFontGroupTag, fontOptions(), number(CommonUtil::getFont()));
    // Both count rows show the chapter-practice count, which error-book runs draw too; only
    // row 1 is read back on submit, so row 2 only shows it, greyed, and takes no typing.
    addCountField(1, kSpecialNumFieldTag, CommonUtil::getSpecialNum());
    auto errorBookCount = addCountField(2, 0, CommonUtil::getSpecialNum());
    errorBookCount->setEnabled(false);
    errorBookCount->setTextColor(ui::Color::gray());
    addOptionGroup(3, kDistillGroupTag, distillOptions(), number(CommonUtil::getIsDistill()));
    addOptionGroup(4, kNextGroupTag, yesNoOptions(), number(CommonUtil::getIsNext()));
    addOptionGroup(5, kShowAnalyzeGroupTag, yesNoOptions(), number(CommonUtil::getIsShowAnalyze()));
    addSubmitButton();
}

void ExamSetViewController::addCaption(int row, const QString& caption)
{
    auto label = ui::Label::create(ui::Rect(20, rowTop(row), CommonUtil::getSysWidth() * 5 / 8, rowHeight()));
    label->setText(caption);
    label->setFont(ui::Font::boldSystemFont(CommonUtil::designSize(22)));
    label->setBackgroundColor(ui::Color::clear());
    view()->addSubview(label);
}

void ExamSetViewController::addOptionGroup(int row, int tag, const QStringList& options,
                                           const QString& picked)
{
    auto group = MyRadioGroup::create();
    group->setHorizontal(true);
    double x = 0;
    for (int i = 0; i + 3 < options.size(); i += 4) {
        auto option = MyRadioBtn::create(ui::Rect(x, 0, 0, 0));
        option->setImage(options.at(i), options.at(i + 1));
        option->setClickValue(options.at(i + 2));
        option->setAccessibilityLabel(options.at(i + 3));
        group->addRadioBtn(option);
        x += option->frame().width();
    }
    group->setClickValue(picked);
    const double h = group->radioBtns().front()->frame().height();
    group->setFrame(ui::Rect(controlX(), rowTop(row) + (rowHeight() - h) / 2, CommonUtil::getSysWidth() - controlX(), h));
    view()->addSubview(group);
    group->setTag(tag);
}

std::shared_ptr<ui::TextField> ExamSetViewController::addCountField(int row, int tag, int count)
{
    auto fontGroup = std::static_pointer_cast<MyRadioGroup>(view()->viewWithTag(kFontGroupTag));
    const double w1 = fontGroup->radioBtns().front()->frame().width();
    const double h = fontGroup->frame().height();
    auto field = ui::TextField::create(ui::Rect(controlX(), rowTop(row) + (rowHeight() - h) / 2, 3 * w1, h));
    field->setText(number(count));
    field->setBackgroundColor(ui::Color::white());
    field->setFont(ui::Font::boldSystemFont(12));
    field->layer()->setBorderColor(ui::Color::gray());
    field->layer()->setBorderWidth(0.5);
    field->setTextAlignment(ui::TextAlignment::Center);
    field->setReturnKeyType(ui::ReturnKeyType::Done);
    field->setDelegate(std::static_pointer_cast<ExamSetViewController>(shared_from_this()));
    if (tag != 0)
        field->setTag(tag);
    view()->addSubview(field);
    return field;
}

void ExamSetViewController::addSubmitButton()
{
    m_submit = ImageButton::create(QStringLiteral("feedback_submit"), QStringLiteral("提交"));
    const ui::Size size = m_submit->frame().size;
    m_submit->setFrame(ui::Rect((CommonUtil::getSysWidth() - size.width) / 2,
                                CommonUtil::getSysHeight() - size.height - 20, size.width, size.height));
    m_submit->addTarget(std::static_pointer_cast<ExamSetViewController>(shared_from_this()),
                        &ExamSetViewController::submitClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_submit);
}

bool ExamSetViewController::shouldChangeCharactersInRange(ui::TextField& field, ui::TextRange, const QString& string)
{
    if (string == QLatin1String("\n"))
        field.resignFirstResponder();
    return true;
}

void ExamSetViewController::submitClick(const std::shared_ptr<ui::Control>&)
{
    auto self = shared_from_this();
    auto groupValue = [this](int tag) {
        auto group = std::dynamic_pointer_cast<MyRadioGroup>(view()->viewWithTag(tag));
        return group ? group->getValue() : QString();
    };
    auto countText = [this](int tag) {
        auto field = std::dynamic_pointer_cast<ui::TextField>(view()->viewWithTag(tag));
        return field ? field->text() : QString();
    };
    CommonUtil::setFont(core::Record::intValue(groupValue(kFontGroupTag)));
    // The quick-practice count has no field on this screen, so it keeps its stored value.
    CommonUtil::setSpecialNum(core::Record::intValue(countText(kSpecialNumFieldTag)));
    CommonUtil::setIsDistill(core::Record::boolValue(groupValue(kDistillGroupTag)));
    CommonUtil::setIsShowAnalyze(core::Record::boolValue(groupValue(kShowAnalyzeGroupTag)));
    CommonUtil::setIsNext(core::Record::boolValue(groupValue(kNextGroupTag)));
    CommonUtil::saveData();
    dismissViewController(true, [] {});
}

void ExamSetViewController::releaseReferences()
{
    m_submit.reset();
}
