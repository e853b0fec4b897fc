#include "browse/SpecialViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "browse/SpecalHeadView.h"
#include "browse/SpecialEditBtn.h"
#include "browse/SpecialName.h"
#include "browse/SpecialRowControls.h"
#include "components/tree/TreeView.h"
#include "platform/core/FormBody.h"
#include "platform/core/Record.h"
#include "platform/ui/Label.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "practice/ExamStartViewController.h"

using core::Record;

namespace {

const QString kDirectoryLevel = QStringLiteral("0");
const QString kChapterLevel = QStringLiteral("1");
const QString kNodeLevel = QStringLiteral("2");

} // namespace

std::shared_ptr<SpecialViewController> SpecialViewController::create()
{
    return std::shared_ptr<SpecialViewController>(new SpecialViewController());
}

SpecialViewController::SpecialViewController()
    : ChromeViewController(QStringLiteral("专项练习"))
{
}

void SpecialViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    auto self = std::static_pointer_cast<SpecialViewController>(shared_from_this());
    const QString subject = CommonUtil::getSubjectCode().value_or(QString());
    m_request = ServerRequest::send(QStringLiteral("exam/directory_list"),
                                    core::FormBody{{QStringLiteral("subjectCode"), subject}}, 0, view(), self);
}

bool SpecialViewController::isLoading() const
{
    return m_request && m_request->isRunning();
}

void SpecialViewController::releaseReferences()
{
    m_request.reset();
    m_data.clear();
}

void SpecialViewController::requestDidFinish(ServerRequest& request)
{
    // A reply that is not a list holds no directories.
    showTree(Record::array(request.json().value_or(QJsonValue())));
}

void SpecialViewController::showTree(const QJsonArray& directories)
{
    m_data.clear();
    for (const QJsonValue& directory : directories) {
        if (directory.isObject())
            m_data.push_back(makeDirectoryRow(directory.toObject()));
    }
    if (m_treeView)
        m_treeView->removeFromSuperview();
    const double w = CommonUtil::getSysWidth();
    const double h = CommonUtil::getSysHeight();
    auto self = std::static_pointer_cast<SpecialViewController>(shared_from_this());
    m_treeView = TreeView::create(ui::Rect(0, h / 7 + 10, w, 6 * h / 7 - 10));
    m_treeView->setDelegate(self);
    m_treeView->setDataSource(self);
    m_treeView->setSeparatorStyle(TreeViewCellSeparatorStyle::None);
    m_treeView->reloadData();
    m_treeView->setBackgroundColor(ui::Color::clear());
    view()->addSubview(m_treeView);
}

std::shared_ptr<SpecalHeadView> SpecialViewController::makeDirectoryRow(const QJsonObject& directory)
{
    auto row = SpecialRowControls::makeRow(SpecialRowControls::topConnectors());
    const QJsonArray chapters = Record::array(Record::value(directory, "chapters"));
    // Summed in 64 bits: the counts of a large book must not wrap.
    qint64 sum = 0;
    for (qsizetype j = 0; j < chapters.size(); ++j) {
        if (!chapters.at(j).isObject())
            continue;
        Counted chapter = makeChapterRow(chapters.at(j).toObject(), j == chapters.size() - 1);
        sum += chapter.count;
        row->appendChild(chapter.row);
    }
    addControls(*row, row->frame().width(), sum, directory, kDirectoryLevel);
    return row;
}

SpecialViewController::Counted SpecialViewController::makeChapterRow(const QJsonObject& chapter, bool lastChapter)
{
    const QJsonArray nodes = Record::array(Record::value(chapter, "nodes"));
    const qsizetype n = nodes.size();
    auto row = SpecialRowControls::makeRow(SpecialRowControls::chapterConnectors(n, lastChapter));
    // Element 0 stands for the chapter itself: its count starts the total, it gets no row.
    qint64 sum = n > 0 ? Record::longLongValue(Record::value(nodes.at(0), "count")) : 0;
    for (qsizetype m = 1; m < n; ++m) {
        if (!nodes.at(m).isObject())
            continue;
        Counted node = makeNodeRow(nodes.at(m).toObject(), lastChapter && m == n - 1);
        sum += node.count;
        row->appendChild(node.row);
    }
    addControls(*row, row->frame().width(), sum, chapter, kChapterLevel);
    return {row, sum};
}

SpecialViewController::Counted SpecialViewController::makeNodeRow(const QJsonObject& node, bool lastNodeOfLastChapter)
{
    auto row = SpecialRowControls::makeRow(SpecialRowControls::nodeConnectors(lastNodeOfLastChapter));
    const qint64 count = Record::longLongValue(Record::value(node, "count"));
    addControls(*row, CommonUtil::getSysWidth(), count, node, kNodeLevel);
    return {row, count};
}

void SpecialViewController::addControls(SpecalHeadView& row, double buttonRight, qint64 count,
                                        const QJsonObject& record, const QString& editType)
{
    auto self = std::static_pointer_cast<SpecialViewController>(shared_from_this());
    const double f = SpecialRowControls::countFontSize();

    auto button = SpecialRowControls::makeStartButton(buttonRight);
    button->addTarget(self, &SpecialViewController::startExam, ui::ControlEvent::TouchUpInside);
    row.addSubview(button);
    SpecialRowControls::tag(*button, record, std::nullopt, editType);

    auto countLabel = SpecialRowControls::makeCountLabel(count);
    countLabel->setFrame(ui::Rect(button->frame().x() - 5 * f, (SpecialRowControls::alongX(32) - f) / 2, 5 * f, f));
    row.addSubview(countLabel);

    auto name = SpecialName::create();
    name->setText(Record::screenText(Record::value(record, "name")));
    SpecialRowControls::layoutName(*name, countLabel->frame().x());
    row.addSubview(name);
    SpecialRowControls::tag(*name, record, std::nullopt, editType);
    name->setUserInteractionEnabled(true);
    std::weak_ptr<SpecialViewController> weak = self;
    name->addGestureRecognizer(ui::TapGestureRecognizer::create([weak](ui::GestureRecognizer& recognizer) {
        if (auto screen = weak.lock())
            screen->startLabelExam(recognizer);
    }));
}

void SpecialViewController::startExam(const std::shared_ptr<ui::Control>& sender)
{
    auto button = std::dynamic_pointer_cast<SpecialEditBtn>(sender);
    if (!button || !button->data() || !button->editType())
        return;
    openPractice(*button->data(), *button->editType());
}

void SpecialViewController::startLabelExam(ui::GestureRecognizer& recognizer)
{
    auto name = std::dynamic_pointer_cast<SpecialName>(recognizer.view());
    if (!name || !name->data() || !name->editType())
        return;
    openPractice(*name->data(), *name->editType());
}

void SpecialViewController::openPractice(const QJsonObject& record, const QString& editType)
{
    int kind = 0;
    if (editType == kDirectoryLevel)
        kind = 1;
    else if (editType == kChapterLevel)
        kind = 2;
    else if (editType == kNodeLevel)
        kind = 3;
    else
        return;
    auto practice = ExamStartViewController::create();
    practice->setData(record);
    practice->setType(kind);
    presentViewController(practice, true, [] {});
}
