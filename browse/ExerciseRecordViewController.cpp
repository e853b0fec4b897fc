#include "browse/ExerciseRecordViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/FormBody.h"
#include "platform/core/Record.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"
#include "practice/ExamStartViewController.h"

#include <cmath>

namespace {

const QString kCellIdentifier = QStringLiteral("Cell");

ui::Image rowImage()
{
    return ui::Image::named(CommonUtil::getImageName(QStringLiteral("exercise_record"), QStringLiteral(".png")));
}

} // namespace

std::shared_ptr<ExerciseRecordViewController> ExerciseRecordViewController::create()
{
    return std::shared_ptr<ExerciseRecordViewController>(new ExerciseRecordViewController());
}

ExerciseRecordViewController::ExerciseRecordViewController()
    : ChromeViewController(QStringLiteral("练习记录"))
{
}

void ExerciseRecordViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    requestRecords();
}

void ExerciseRecordViewController::requestRecords()
{
    const QJsonValue user = core::Record::value(CommonUtil::getAccount().value_or(QJsonObject()), "code");
    const core::FormBody body{{QStringLiteral("subjectCode"), CommonUtil::getSubjectCode().value_or(QString())},
                              {QStringLiteral("user_code"), core::Record::bodyText(user)}};
    auto self = std::static_pointer_cast<ExerciseRecordViewController>(shared_from_this());
    m_request = ServerRequest::send(QStringLiteral("exam/record_list"), body, 0, view(), self);
}

bool ExerciseRecordViewController::isLoading() const
{
    return m_request && m_request->isRunning();
}

void ExerciseRecordViewController::requestDidFinish(ServerRequest& request)
{
    // Only records can be replayed: anything in the list that is no object is left out.
    m_list = QJsonArray();
    for (const QJsonValue& element : core::Record::array(request.json().value_or(QJsonValue()))) {
        if (element.isObject())
            m_list.append(element);
    }
    showTable();
}

void ExerciseRecordViewController::showTable()
{
    const double W = CommonUtil::getSysWidth();
    const double H = CommonUtil::getSysHeight();
    if (m_tableView)
        m_tableView->removeFromSuperview();
    m_tableView = ui::TableView::create(ui::Rect(0, H / 7 + 10, W, 6 * H / 7 - 10), ui::TableViewStyle::Plain);
    auto self = std::static_pointer_cast<ExerciseRecordViewController>(shared_from_this());
    m_tableView->setDataSource(self);
    m_tableView->setDelegate(self);
    m_tableView->setSeparatorColor(ui::Color::clear());
    m_tableView->setBackgroundColor(ui::Color::clear());
    m_tableView->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    view()->addSubview(m_tableView);
}

int ExerciseRecordViewController::numberOfRowsInSection(ui::TableView&, int)
{
    return static_cast<int>(m_list.size());
}

std::optional<double> ExerciseRecordViewController::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath&)
{
    return CommonUtil::scaledSize(rowImage(), CommonUtil::getScale()).height;
}

std::shared_ptr<ui::TableViewCell> ExerciseRecordViewController::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                                       const ui::IndexPath& indexPath)
{
    auto cell = tableView.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell)
        cell = makeCell();
    cell->textLabel()->setBackgroundColor(ui::Color::clear());
    cell->textLabel()->setTextColor(ui::Color::white());
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    const QJsonValue record = m_list.at(indexPath.row);
    if (auto name = std::dynamic_pointer_cast<ui::Label>(cell->viewWithTag(kNameLabelTag)))
        name->setText(core::Record::screenText(core::Record::value(record, "recordName")));
    return cell;
}

std::shared_ptr<ui::TableViewCell> ExerciseRecordViewController::makeCell()
{
    auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, kCellIdentifier);
    const ui::Image image = rowImage();
    const double s = CommonUtil::getSystemScale();
    const double wi = std::trunc(image.pixelSize().width / s * CommonUtil::getScaleX());
    const double hi = std::trunc(image.pixelSize().height / s * CommonUtil::getScaleY());
    auto background = ui::ImageView::create(ui::Rect(0, 0, wi, hi));
    background->setImage(image);
    auto name = ui::Label::create(ui::Rect(10, 0, wi - 10, hi));
    name->setNumberOfLines(2);
    name->setTextColor(ui::Color::black());
    name->setLineBreakMode(ui::LineBreakMode::WordWrap);
    name->setFont(ui::Font::boldSystemFont(CommonUtil::designSize(18)));
    name->setText(QString());
    name->setBackgroundColor(ui::Color::clear());
    name->setTag(kNameLabelTag);
    cell->contentView()->addSubview(background);
    cell->contentView()->addSubview(name);
    return cell;
}

void ExerciseRecordViewController::didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    if (indexPath.row < 0 || indexPath.row >= m_list.size())
        return;
    auto exam = ExamStartViewController::create();
    exam->setData(m_list.at(indexPath.row).toObject());
    exam->setType(10);
    presentViewController(exam, true, [] {});
}

void ExerciseRecordViewController::releaseReferences()
{
    m_request.reset();
}
