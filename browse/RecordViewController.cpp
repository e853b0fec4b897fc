#include "browse/RecordViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"
#include "appbase/ServerRequest.h"
#include "browse/EroorExamViewController.h"
#include "browse/ExerciseRecordViewController.h"
#include "platform/core/FormBody.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

#include <cmath>

std::shared_ptr<RecordViewController> RecordViewController::create()
{
    return std::shared_ptr<RecordViewController>(new RecordViewController());
}

RecordViewController::RecordViewController()
    : ChromeViewController(QStringLiteral("我的练习"))
{
}

void RecordViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    auto errors = addBookButton(QStringLiteral("drill_record_01"), contentTop(), kErrorButtonTag,
                                &RecordViewController::drill1Click);
    errors->setAccessibilityLabel(QStringLiteral("错题本"));
    addCountLabel(*errors, 3, kErrorCountTag);
    // The two buttons touch: the favourites start where the error book ends.
    auto keeps = addBookButton(QStringLiteral("drill_record_02"), errors->frame().maxY(), kKeepButtonTag,
                               &RecordViewController::drill2Click);
    keeps->setAccessibilityLabel(QStringLiteral("收藏本"));
    addCountLabel(*keeps, -1, kKeepCountTag);
    requestCounts();
}

std::shared_ptr<ui::Button> RecordViewController::addBookButton(const QString& imageName, double y, int tag,
                                                                Action action)
{
    const ui::Image image = ui::Image::named(CommonUtil::getImageName(imageName, QStringLiteral(".png")));
    const ui::Size size = CommonUtil::axisScaledSize(image);
    auto button = ui::Button::create(ui::ButtonType::Custom);
    ImageButton::style(*button, image);
    button->setFrame(ui::Rect(0, y, size.width, size.height));
    auto self = std::static_pointer_cast<RecordViewController>(shared_from_this());
    button->addTarget(self, action, ui::ControlEvent::TouchUpInside);
    button->setTag(tag);
    view()->addSubview(button);
    return button;
}

void RecordViewController::addCountLabel(ui::Button& button, double centreShift, int tag)
{
    const double w = button.frame().width();
    const double h = button.frame().height();
    auto label = ui::Label::create(ui::Rect(0, (h - 12) / 2 + centreShift, 7 * w / 8, 12));
    label->setText(countText(QJsonValue::Undefined));
    label->setBackgroundColor(ui::Color::clear());
    label->setFont(ui::Font::boldSystemFont(12));
    label->setTextAlignment(ui::TextAlignment::Right);
    label->setTextColor(CommonUtil::UIColorFromRGB(0x6FD7FD));
    label->setTag(tag);
    button.addSubview(label);
}

void RecordViewController::requestCounts()
{
    const QJsonValue user = core::Record::value(CommonUtil::getAccount().value_or(QJsonObject()), "code");
    const core::FormBody body{{QStringLiteral("subjectCode"), CommonUtil::getSubjectCode().value_or(QString())},
                              {QStringLiteral("user_code"), core::Record::bodyText(user)}};
    auto self = std::static_pointer_cast<RecordViewController>(shared_from_this());
    m_request = ServerRequest::send(QStringLiteral("exam/error_keep_count"), body, 0, view(), self);
}

bool RecordViewController::isLoading() const
{
    return m_request && m_request->isRunning();
}

QString RecordViewController::countText(const QJsonValue& count)
{
    const QString shown = count.isDouble() || count.isString() ? core::Record::screenText(count) : QString();
    return (shown.isEmpty() ? QStringLiteral("0") : shown) + QStringLiteral("道题目");
}

std::shared_ptr<ui::Label> RecordViewController::countLabel(int buttonTag, int labelTag)
{
    if (!isViewLoaded())
        return nullptr;
    auto button = view()->viewWithTag(buttonTag);
    return button ? std::dynamic_pointer_cast<ui::Label>(button->viewWithTag(labelTag)) : nullptr;
}

void RecordViewController::requestDidFinish(ServerRequest& request)
{
    // A reply that is no object counts as one without counts.
    const QJsonObject counts = core::Record::object(request.json().value_or(QJsonValue()));
    if (auto label = countLabel(kErrorButtonTag, kErrorCountTag)) {
        label->setBackgroundColor(ui::Color::clear());
        label->setText(countText(core::Record::value(counts, "errorCount")));
    }
    if (auto label = countLabel(kKeepButtonTag, kKeepCountTag)) {
        label->setBackgroundColor(ui::Color::clear());
        label->setText(countText(core::Record::value(counts, "keepCount")));
    }
}

void RecordViewController::drill1Click(const std::shared_ptr<ui::Control>&)
{
    openBook(0);
}

void RecordViewController::drill2Click(const std::shared_ptr<ui::Control>&)
{
    openBook(1);
}

void RecordViewController::openBook(int type)
{
    auto book = EroorExamViewController::create();
    book->setType(type);
    presentViewController(book, true, [] {});
}

void RecordViewController::drill3Click(const std::shared_ptr<ui::Control>&)
{
    presentViewController(ExerciseRecordViewController::create(), true, [] {});
}

void RecordViewController::releaseReferences()
{
    m_request.reset();
}
