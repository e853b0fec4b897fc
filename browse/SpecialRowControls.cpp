#include "browse/SpecialRowControls.h"

#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"
#include "browse/SpecalHeadView.h"
#include "browse/SpecialEditBtn.h"
#include "browse/SpecialName.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"

#include <algorithm>

namespace {

QString png(const char* name)
{
    return CommonUtil::getImageName(QString::fromLatin1(name), QStringLiteral(".png"));
}

constexpr double kNameFontSize = 14;
constexpr int kCountColor = 0x6FD7FD;

} // namespace

std::pair<QString, QString> SpecialRowControls::topConnectors()
{
    return {png("special_scroll_02"), png("special_scroll_01")};
}

std::pair<QString, QString> SpecialRowControls::closedTopConnectors()
{
    const QString flat = png("special_scroll_08");
    return {flat, flat};
}

std::pair<QString, QString> SpecialRowControls::chapterConnectors(long nodeCount, bool lastChapter)
{
    if (nodeCount <= 1) {
        const QString flat = png(lastChapter ? "special_scroll_07" : "special_scroll_06");
        return {flat, flat};
    }
    return {png(lastChapter ? "special_scroll_04" : "special_scroll_03"), png("special_scroll_05")};
}

std::pair<QString, QString> SpecialRowControls::nodeConnectors(bool lastNodeOfLastChapter)
{
    const QString flat = png(lastNodeOfLastChapter ? "special_scroll_07" : "special_scroll_06");
    return {flat, flat};
}

std::shared_ptr<SpecalHeadView> SpecialRowControls::makeRow(const std::pair<QString, QString>& connectors)
{
    auto row = SpecalHeadView::create();
    row->initheadView(connectors.first, connectors.second);
    return row;
}

double SpecialRowControls::countFontSize()
{
    return CommonUtil::designSize(20);
}

double SpecialRowControls::alongX(double length)
{
    return length * CommonUtil::getScaleX() / CommonUtil::getSystemScale();
}

std::shared_ptr<SpecialEditBtn> SpecialRowControls::makeStartButton(double right)
{
    const ui::Image image = ui::Image::named(png("special_edit"));
    const ui::Size size = CommonUtil::scaledSize(image, CommonUtil::getScale());
    auto button = SpecialEditBtn::create();
    ImageButton::style(*button, image);
    button->setFrame(ui::Rect(right - size.width - 10, 1, size.width, size.height));
    // The button shows only a picture; this names it for accessibility and tests.
    button->setAccessibilityLabel(QStringLiteral("开始练习"));
    return button;
}

QString SpecialRowControls::countText(qint64 count)
{
    return QString::number(count) + QStringLiteral("道");
}

std::shared_ptr<ui::Label> SpecialRowControls::makeCountLabel(qint64 count)
{
    auto label = ui::Label::create();
    label->setText(countText(count));
    label->setFont(ui::Font::boldSystemFont(countFontSize()));
    label->setLineBreakMode(ui::LineBreakMode::CharWrap);
    label->setNumberOfLines(2);
    label->setBackgroundColor(ui::Color::clear());
    label->setTextColor(CommonUtil::UIColorFromRGB(kCountColor));
    return label;
}

void SpecialRowControls::layoutName(ui::Label& label, double countLabelX)
{
    const ui::Font font = ui::Font::boldSystemFont(kNameFontSize);
    label.setNumberOfLines(0);
    label.setFont(font);
    label.setLineBreakMode(ui::LineBreakMode::CharWrap);
    label.setTextColor(ui::Color::black());
    label.setBackgroundColor(ui::Color::clear());
    // Measured in the font it is drawn in, so a bold name is not cut; a count label standing
    // further left than the name's start leaves no room rather than a negative width.
    const double maxWidth = std::max(0.0, countLabelX - alongX(70));
    const ui::Size size = maxWidth > 0 ? font.sizeOfText(label.text(), maxWidth, 0) : ui::Size(0, 0);
    const double y = (alongX(32) - countFontSize()) / 2;
    label.setFrame(ui::Rect(alongX(60), y, std::min(size.width, maxWidth), size.height));
}

void SpecialRowControls::tag(SpecialEditBtn& button, const QJsonObject& record, const std::optional<QString>& code,
                             const QString& editType)
{
    button.setData(record);
    if (code)
        button.setCode(*code);
    button.setEditType(editType);
}

void SpecialRowControls::tag(SpecialName& label, const QJsonObject& record, const std::optional<QString>& code,
                             const QString& editType)
{
    label.setData(record);
    if (code)
        label.setCode(*code);
    label.setEditType(editType);
}
