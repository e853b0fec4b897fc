#include "practice/ReportViewController.h"

#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"
#include "appbase/ServerRequest.h"
#include "practice/ReportLine.h"
#include "practice/ReportViewControllerDelegate.h"

#include <cmath>

namespace {

constexpr int kChartBoxTag = 2001;
constexpr int kLabelBoxTag = 2002;
constexpr int kDefeatLabelTag = 2003;
constexpr int kAverageLabelTag = 2004;
constexpr int kTilesPerRow = 10;
// In the banner's pixels: past its accent stripe, with room to spare.
constexpr double kBannerTextInset = 30;
// In the count card's pixels: the card's face ends 8 above the image's bottom (its shadow
// below); the line stands this far up, clear of the face's bottom border.
constexpr double kCountCardTextBottom = 22;

ui::Image imageNamed(const char* name)
{
    return ui::Image::named(CommonUtil::getImageName(QString::fromLatin1(name), QStringLiteral(".png")));
}

ui::Size scaledSize(const ui::Image& image)
{
    return CommonUtil::scaledSize(image, CommonUtil::getScale());
}

std::shared_ptr<ui::Label> makeLabel(const ui::Rect& frame, const QString& text, double fontSize,
                                     ui::TextAlignment alignment)
{
    auto label = ui::Label::create(frame);
    label->setText(text);
    label->setFont(ui::Font::boldSystemFont(fontSize));
    label->setTextAlignment(alignment);
    label->setBackgroundColor(ui::Color::clear());
    return label;
}

std::shared_ptr<ui::ImageView> makeImageView(const ui::Image& image, const ui::Rect& frame)
{
    auto view = ui::ImageView::create(frame);
    view->setImage(image);
    return view;
}

// "%.2f%@" of a hundredths value and "%".
QString percentText(const QJsonValue& hundredths)
{
    return QString::asprintf("%.2f", core::Record::doubleValue(hundredths) / 100.0) + QStringLiteral("%");
}

} // namespace

std::shared_ptr<ReportViewController> ReportViewController::create()
{
    return std::shared_ptr<ReportViewController>(new ReportViewController());
}

ReportViewController::ReportViewController()
    : ChromeViewController(QStringLiteral("练习报告"))
{
}

void ReportViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    addTitleImage();
    auto scroll = addScrollView();
    int contentHeight = 0;
    if (m_type == ScoreLayout)
        addScoreLayout(*scroll, contentHeight);
    else
        addCountLayout(*scroll, contentHeight);
    addReviewButtons(*scroll, contentHeight);
    scroll->setContentSize(ui::Size(0, contentHeight));
    // Last, so the scroll view lies above the title image and label.
    view()->addSubview(scroll);
}

void ReportViewController::addTitleImage()
{
    const ui::Image image = imageNamed("report_title");
    const double s = CommonUtil::getSystemScale();
    m_titleImageWidth = std::trunc(image.pixelSize().width / s * CommonUtil::getScaleX());
    m_titleImageHeight = std::trunc(image.pixelSize().height / s * CommonUtil::getScaleY());
    const double w = CommonUtil::getSysWidth();
    const double top = CommonUtil::getSysHeight() / 7;
    const double left = (w - m_titleImageWidth) / 2;
    view()->addSubview(makeImageView(image, ui::Rect(left, top, m_titleImageWidth, m_titleImageHeight)));

    // The banner's accent stripe runs down its left edge, 18 of its pixels in: the title starts
    // clear of it and keeps as far from the right edge.
    const double inset = kBannerTextInset * m_titleImageWidth / image.pixelSize().width;
    auto title = makeLabel(ui::Rect(left + inset, top, m_titleImageWidth - 2 * inset, m_titleImageHeight),
                           QStringLiteral("考试类型：") + m_rtitle, CommonUtil::designSize(18),
                           ui::TextAlignment::Left);
    title->setLineBreakMode(ui::LineBreakMode::WordWrap);
    title->setNumberOfLines(2);
    view()->addSubview(title);
}

std::shared_ptr<ui::ScrollView> ReportViewController::addScrollView()
{
    const double top = CommonUtil::getSysHeight() / 7 + m_titleImageHeight;
    auto scroll = ui::ScrollView::create(ui::Rect(0, top, CommonUtil::getSysWidth(), CommonUtil::getSysHeight() - top));
    scroll->setTag(ScrollViewTag);
    return scroll;
}

void ReportViewController::addScoreLayout(ui::ScrollView& scroll, int& contentHeight)
{
    const double v = view()->frame().size.width;
    const ui::Image scoreImage = imageNamed("defen_bg");
    const ui::Size scoreSize = scaledSize(scoreImage);
    const double inset = (v / 2 - scoreSize.width) / 2;
    const ui::Rect scoreFrame(inset, 10, scoreSize.width, scoreSize.height);
    scroll.addSubview(makeImageView(scoreImage, scoreFrame));
    auto score = makeLabel(scoreFrame, QString::asprintf("%.1f", double(m_scoure)), 40, ui::TextAlignment::Center);
    score->setTextColor(ui::Color::red());
    scroll.addSubview(score);

    const ui::Image countImage = imageNamed("countdao");
    const ui::Size countSize = scaledSize(countImage);
    // Offset from the middle by the score card's inset, so the two cards mirror each other.
    const ui::Rect countFrame(v / 2 + inset, 10, countSize.width, countSize.height);
    scroll.addSubview(makeImageView(countImage, countFrame));
    auto flagCount = makeLabel(countFrame, QString::number(m_examArr.size()), 50, ui::TextAlignment::Center);
    flagCount->setTextColor(ui::Color::black());
    scroll.addSubview(flagCount);

    contentHeight = int(scoreSize.height) + 10;
    auto rightLine = makeLabel(ui::Rect(0, scoreSize.height + 20, v, 30), QString(), 17, ui::TextAlignment::Center);
    scroll.addSubview(rightLine);
    contentHeight += 40;

    const Counts counts = addTiles(scroll, int(scoreSize.height) + 50, contentHeight);
    rightLine->setText(QStringLiteral("本次练习答对了%1道").arg(counts.right));
}

void ReportViewController::addCountLayout(ui::ScrollView& scroll, int& contentHeight)
{
    const ui::Image cardImage = imageNamed("drill_cord_bg");
    const ui::Size cardSize = scaledSize(cardImage);
    auto card = makeImageView(cardImage, ui::Rect((CommonUtil::getSysWidth() - cardSize.width) / 2, 10,
                                                  cardSize.width, cardSize.height));
    scroll.addSubview(card);
    contentHeight = int(cardSize.height) + 10;

    const Counts counts = addTiles(scroll, int(cardSize.height) + 10, contentHeight);

    const int wB = int(cardSize.width);
    const int hB = int(cardSize.height);
    const double line = CommonUtil::designSize(20);
    // Under the trophy in the card's left half, inside the face rather than across its border.
    const double bottom = hB - kCountCardTextBottom * cardSize.height / cardImage.pixelSize().height;
    card->addSubview(makeLabel(ui::Rect(0, bottom - line, wB / 2, line),
                               QStringLiteral("本次练习你答对了") + QString::number(counts.right) + QStringLiteral("道"),
                               line, ui::TextAlignment::Center));
    const double big = CommonUtil::designSize(60);
    card->addSubview(makeLabel(ui::Rect(wB / 1.9, hB / 3, wB / 2, big), QString::number(counts.flags), big,
                               ui::TextAlignment::Center));
}

ReportViewController::Counts ReportViewController::addTiles(ui::ScrollView& scroll, int tileTop, int& contentHeight)
{
    Counts counts;
    counts.flags = m_examArr.size();
    const double rowWidth = scroll.frame().size.width;
    for (int i = 0; i < counts.flags; ++i) {
        const bool wrong = m_examArr.at(i) == QStringLiteral("1");
        if (!wrong)
            ++counts.right;
        const ui::Image image = imageNamed(wrong ? "exam_num_red" : "exam_num_blue");
        const ui::Size tile = scaledSize(image);
        const double gap = (rowWidth - kTilesPerRow * tile.width) / (kTilesPerRow + 1);
        const int column = i % kTilesPerRow;
        const int row = i / kTilesPerRow;
        // Every row, the first included, has a gap above it; every column a gap to its left.
        scroll.addSubview(makeTile(image,
                                   ui::Rect(gap * (column + 1) + tile.width * column,
                                            tileTop + gap * (row + 1) + tile.height * row, tile.width, tile.height),
                                   questionOfFlag(i)));
        if (column == 0)
            contentHeight = int(contentHeight + tile.height + gap);
    }
    contentHeight += 20;
    return counts;
}

// A tile shows its question's number and opens that question.
std::shared_ptr<ui::View> ReportViewController::makeTile(const ui::Image& image, const ui::Rect& frame, int question)
{
    auto tile = makeImageView(image, frame);
    auto number = makeLabel(ui::Rect(0, 0, frame.width(), frame.height()), QString::number(question + 1),
                            CommonUtil::designSize(14), ui::TextAlignment::Center);
    number->setTextColor(ui::Color::white());
    tile->addSubview(number);
    tile->setAccessibilityLabel(QStringLiteral("第%1题").arg(question + 1));
    tile->setUserInteractionEnabled(true);
    std::weak_ptr<ui::ViewController> weak = weak_from_this();
    tile->addGestureRecognizer(ui::TapGestureRecognizer::create([weak, question](ui::GestureRecognizer&) {
        if (auto self = std::static_pointer_cast<ReportViewController>(weak.lock()))
            self->tileClick(question);
    }));
    return tile;
}

void ReportViewController::addReviewButtons(ui::ScrollView& scroll, int& contentHeight)
{
    auto self = std::static_pointer_cast<ReportViewController>(shared_from_this());
    auto makeButton = [&](const char* imageName, const QString& caption, const ui::Rect& frame,
                          void (ReportViewController::*action)(const std::shared_ptr<ui::Control>&)) {
        auto button = ImageButton::create(QString::fromLatin1(imageName), caption);
        button->setFrame(frame);
        button->addTarget(self, action, ui::ControlEvent::TouchUpInside);
        scroll.addSubview(button);
    };
    const ui::Size errorSize = scaledSize(imageNamed("look_error_analyze"));
    const ui::Size allSize = scaledSize(imageNamed("look_all_analyze"));
    const double errorX = (CommonUtil::getSysWidth() - 2 * errorSize.width - 10) / 2;
    makeButton("look_error_analyze", QStringLiteral("查看错题解析"),
               ui::Rect(errorX, contentHeight, errorSize.width, errorSize.height), &ReportViewController::errorClick);
    makeButton("look_all_analyze", QStringLiteral("查看全部解析"),
               ui::Rect(errorX + errorSize.width + 10, contentHeight, allSize.width, allSize.height),
               &ReportViewController::allClick);
    contentHeight += int(allSize.height) + 10;
}

void ReportViewController::errorClick(const std::shared_ptr<ui::Control>&)
{
    auto self = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->showErrorAnalyze();
    dismissViewController(true, [] {});
}

void ReportViewController::allClick(const std::shared_ptr<ui::Control>&)
{
    auto self = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->showAllAnalyze();
    dismissViewController(true, [] {});
}

void ReportViewController::tileClick(int question)
{
    auto self = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->showQuestionAnalyze(question);
    dismissViewController(true, [] {});
}

int ReportViewController::questionOfFlag(int flag) const
{
    return flag < m_flagQuestions.size() ? m_flagQuestions.at(flag) : flag;
}

void ReportViewController::releaseReferences()
{
    m_delegate.reset();
    m_rtitle.clear();
    m_paper = QJsonObject();
    m_receiveData.clear();
    m_examArr.clear();
}

void ReportViewController::requestDidFinish(ServerRequest& request)
{
    m_receiveData = request.receiveData();
    showScoreChart(m_receiveData);
}

void ReportViewController::showScoreChart(const QByteArray& reply)
{
    // A reply that is not an object reads as an empty record: no points, 0.00% twice.
    const QJsonObject record = core::Record::object(core::Record::parse(reply).value_or(QJsonValue()));
    auto scroll = view()->viewWithTag(ScrollViewTag);
    if (auto chartBox = scroll ? scroll->viewWithTag(kChartBoxTag) : nullptr) {
        const double s = CommonUtil::getSystemScale();
        const double g = CommonUtil::getScale();
        const double w = std::trunc(396 / s * g);
        const double h = std::trunc(284 / s * g);
        auto chart = ReportLine::create();
        chart->setFrame(ui::Rect((chartBox->frame().size.width - w) / 2 + 12 / s * g, 50 / s * g, w, h));
        chart->setLineColor(ui::Color::green());
        chart->setMaxValue(150);
        QJsonArray points;
        for (const QJsonValue& entry : core::Record::array(record.value(QStringLiteral("scores"))))
            points.append(core::Record::value(entry, QStringLiteral("score")));
        chart->setData(points);
        chart->drawLine();
        chartBox->addSubview(chart);
    }
    if (auto labelBox = scroll ? scroll->viewWithTag(kLabelBoxTag) : nullptr) {
        if (auto defeat = std::dynamic_pointer_cast<ui::Label>(labelBox->viewWithTag(kDefeatLabelTag)))
            defeat->setText(percentText(record.value(QStringLiteral("defeat"))));
        if (auto average = std::dynamic_pointer_cast<ui::Label>(labelBox->viewWithTag(kAverageLabelTag)))
            average->setText(percentText(record.value(QStringLiteral("avg"))));
    }
    CommonUtil::stopHttp();
}
