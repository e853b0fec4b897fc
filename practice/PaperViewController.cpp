#include "practice/PaperViewController.h"

#include "platform/core/FormBody.h"
#include "platform/core/Log.h"
#include "platform/core/Record.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "practice/ExamStartViewController.h"

#include <cmath>

namespace {

const QString kCellIdentifier = QStringLiteral("Cell");

ui::Image imageNamed(const char* name)
{
    return ui::Image::named(CommonUtil::getImageName(QString::fromLatin1(name), QStringLiteral(".png")));
}

// The row background follows the screen's two axes separately.
ui::Size rowBackgroundSize()
{
    return CommonUtil::axisScaledSize(imageNamed("paper_bg"));
}

// The bare number: with its caption the text would fill the badge to its rounded ends.
QString difficultyText(const QJsonValue& difficulty)
{
    return QString::asprintf("%.1f", core::Record::doubleValue(difficulty));
}

} // namespace

std::shared_ptr<PaperViewController> PaperViewController::create()
{
    return std::shared_ptr<PaperViewController>(new PaperViewController());
}

PaperViewController::PaperViewController()
    : ChromeViewController(QString())
{
}

QString PaperViewController::titleForType(int type)
{
    return type == PastPapers ? QStringLiteral("真题模考") : QStringLiteral("冲刺试卷");
}

void PaperViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    titleLabel()->setText(titleForType(m_type));
    requestPaperList();
}

bool PaperViewController::isLoading() const
{
    return m_request && m_request->isRunning();
}

void PaperViewController::requestPaperList()
{
    auto self = std::static_pointer_cast<PaperViewController>(shared_from_this());
    const core::FormBody body{{QStringLiteral("examType"), QString::number(m_type)},
                              {QStringLiteral("subjectCode"), CommonUtil::getSubjectCode().value_or(QString())}};
    m_request = ServerRequest::send(QStringLiteral("exam/paper_list"), body, 0, view(), self);
}

void PaperViewController::requestDidFinish(ServerRequest& request)
{
    core::log(QStringLiteral("PaperViewController"), request.text() + QStringLiteral("====="));
    // Anything but a list of papers shows as an empty list.
    m_dataArr = core::Record::array(request.json().value_or(QJsonValue()));
    showTable();
}

void PaperViewController::showTable()
{
    const double h = CommonUtil::getSysHeight();
    auto self = std::static_pointer_cast<PaperViewController>(shared_from_this());
    m_tableView = ui::TableView::create(ui::Rect(0, h / 7 + 10, CommonUtil::getSysWidth(), 6 * (h / 7) - 10));
    m_tableView->setDelegate(self);
    m_tableView->setDataSource(self);
    m_tableView->setSeparatorColor(ui::Color::clear());
    m_tableView->setBackgroundColor(ui::Color::clear());
    m_tableView->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    view()->addSubview(m_tableView);
    m_tableView->reloadData();
}

int PaperViewController::numberOfRowsInSection(ui::TableView&, int)
{
    return m_dataArr.size();
}

std::shared_ptr<ui::TableViewCell> PaperViewController::makeCell()
{
    auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, kCellIdentifier);
    const ui::Size bg = rowBackgroundSize();
    const ui::Image badgeImage = imageNamed("paper_difficulty");
    const double s = CommonUtil::getSystemScale();
    const ui::Size badge(std::trunc(badgeImage.pixelSize().width / s), std::trunc(badgeImage.pixelSize().height / s));

    auto background = ui::ImageView::create(ui::Rect(0, 0, bg.width, bg.height));
    background->setImage(imageNamed("paper_bg"));
    cell->addSubview(background);

    const ui::Rect badgeFrame(10, bg.height - 10 - badge.height, badge.width, badge.height);
    auto badgeView = ui::ImageView::create(badgeFrame);
    badgeView->setImage(badgeImage);
    cell->addSubview(badgeView);

    auto difficulty = ui::Label::create(badgeFrame);
    difficulty->setTag(DifficultyLabelTag);
    difficulty->setText(QStringLiteral("难度：0.0"));
    difficulty->setTextColor(ui::Color::white());
    difficulty->setTextAlignment(ui::TextAlignment::Center);
    difficulty->setFont(ui::Font::boldSystemFont(CommonUtil::designSize(16)));
    difficulty->setBackgroundColor(ui::Color::clear());
    cell->addSubview(difficulty);

    auto name = ui::Label::create(ui::Rect(10, 0, bg.width - 10, bg.height - badge.height - 10));
    name->setTag(NameLabelTag);
    name->setNumberOfLines(2);
    name->setLineBreakMode(ui::LineBreakMode::WordWrap);
    name->setTextColor(ui::Color::black());
    name->setFont(ui::Font::boldSystemFont(CommonUtil::designSize(18)));
    name->setBackgroundColor(ui::Color::clear());
    cell->addSubview(name);
    return cell;
}

std::shared_ptr<ui::TableViewCell> PaperViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                             const ui::IndexPath& indexPath)
{
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell)
        cell = makeCell();
    cell->setBackgroundColor(ui::Color::clear());
    cell->textLabel()->setBackgroundColor(ui::Color::clear());
    cell->textLabel()->setTextColor(ui::Color::white());
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);

    const QJsonValue paper = m_dataArr.at(indexPath.row);
    if (auto name = std::dynamic_pointer_cast<ui::Label>(cell->viewWithTag(NameLabelTag)))
        name->setText(core::Record::screenText(core::Record::value(paper, QStringLiteral("name"))));
    if (auto difficulty = std::dynamic_pointer_cast<ui::Label>(cell->viewWithTag(DifficultyLabelTag)))
        difficulty->setText(difficultyText(core::Record::value(paper, QStringLiteral("difficulty"))));
    return cell;
}

std::optional<double> PaperViewController::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath&)
{
    return rowBackgroundSize().height;
}

void PaperViewController::didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    if (indexPath.row < 0 || indexPath.row >= m_dataArr.size())
        return;
    auto exam = ExamStartViewController::create();
    exam->setType(0);
    exam->setData(core::Record::object(m_dataArr.at(indexPath.row)));
    presentViewController(exam, true, [] {});
}

void PaperViewController::releaseReferences()
{
    m_request.reset();
    m_dataArr = QJsonArray();
}
