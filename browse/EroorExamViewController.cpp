#include "browse/EroorExamViewController.h"

#include "appbase/CommonUtil.h"
#include "appbase/ImageButton.h"
#include "appbase/ServerRequest.h"
#include "browse/SpecalHeadView.h"
#include "browse/SpecialEditBtn.h"
#include "browse/SpecialName.h"
#include "browse/SpecialRowControls.h"
#include "components/tree/TreeView.h"
#include "platform/core/Dispatch.h"
#include "platform/core/FormBody.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TapGestureRecognizer.h"
#include "practice/ExamStartViewController.h"

using core::Record;

namespace {

const QString kDirectoryLevel = QStringLiteral("0");
const QString kChapterLevel = QStringLiteral("1");
const QString kNodeLevel = QStringLiteral("2");
const QString kPaperLevel = QStringLiteral("4");

qint64 countOf(const QJsonValue& record)
{
    return Record::longLongValue(Record::value(record, "count"));
}

QString userCode()
{
    const auto& account = CommonUtil::getAccount();
    return Record::bodyText(account ? Record::value(*account, "code") : QJsonValue(QJsonValue::Undefined));
}

} // namespace

std::shared_ptr<EroorExamViewController> EroorExamViewController::create()
{
    return std::shared_ptr<EroorExamViewController>(new EroorExamViewController());
}

EroorExamViewController::EroorExamViewController()
    : ChromeViewController(QString())
{
}

void EroorExamViewController::viewDidLoad()
{
    ChromeViewController::viewDidLoad();
    titleLabel()->setText(m_type == 0 ? QStringLiteral("错题本") : QStringLiteral("收藏本"));
    addClearButton();
    requestList();
}

void EroorExamViewController::addClearButton()
{
    m_clearButton = ImageButton::create("celarall", QStringLiteral("清空"));
    const ui::Size size = m_clearButton->frame().size;
    m_clearButton->setFrame(ui::Rect(view()->frame().width() - size.width - 10, (contentTop() - size.height) / 2,
                                     size.width, size.height));
    auto self = std::static_pointer_cast<EroorExamViewController>(shared_from_this());
    m_clearButton->addTarget(self, &EroorExamViewController::clearClick, ui::ControlEvent::TouchUpInside);
    view()->addSubview(m_clearButton);
}

void EroorExamViewController::releaseReferences()
{
    m_closed = true;
    m_listRequest.reset();
    m_clearRequest.reset();
    m_data.clear();
}

bool EroorExamViewController::isLoading() const
{
    return (m_listRequest && m_listRequest->isRunning()) || (m_clearRequest && m_clearRequest->isRunning());
}

std::shared_ptr<TreeView> EroorExamViewController::treeView() const
{
    if (!isViewLoaded())
        return nullptr;
    // Looking a view up does not change the screen; view() is only non-const because it loads.
    return std::dynamic_pointer_cast<TreeView>(const_cast<EroorExamViewController*>(this)->view()->viewWithTag(kTreeViewTag));
}

void EroorExamViewController::requestList(ServerRequest::Overlay overlay)
{
    auto self = std::static_pointer_cast<EroorExamViewController>(shared_from_this());
    const core::FormBody body{{QStringLiteral("subjectCode"), CommonUtil::getSubjectCode().value_or(QString())},
                              {QStringLiteral("type"), QString::number(m_type + 1)},
                              {QStringLiteral("user_code"), userCode()}};
    m_listRequest = ServerRequest::send(QStringLiteral("exam/directory_list"), body, ListTag, view(), self, overlay);
    m_requestTag = ListTag;
}

void EroorExamViewController::clearClick(const std::shared_ptr<ui::Control>&)
{
    auto self = std::static_pointer_cast<EroorExamViewController>(shared_from_this());
    // The clear names the books the other way round from the list: 1 error book, 0 favourites.
    const core::FormBody body{{QStringLiteral("subjectCode"), CommonUtil::getSubjectCode().value_or(QString())},
                              {QStringLiteral("type"), m_type == 0 ? QStringLiteral("1") : QStringLiteral("0")},
                              {QStringLiteral("usercode"), userCode()}};
    m_listRequest.reset();
    m_clearRequest = ServerRequest::send(QStringLiteral("exam/celarall"), body, ClearTag, view(), self);
    m_requestTag = ClearTag;
}

void EroorExamViewController::requestDidFinish(ServerRequest& request)
{
    if (&request == m_clearRequest.get()) {
        m_clearRequest.reset();
        CommonUtil::errorAlert(QStringLiteral("清除成功"), view());
        reloadAfterClear(ServerRequest::Overlay::Shown);
        return;
    }
    // Only the list started last is shown.
    if (&request != m_listRequest.get())
        return;
    showBook(Record::array(request.json().value_or(QJsonValue())));
}

void EroorExamViewController::requestDidFail(ServerRequest& request)
{
    // A failed clear has shown the network toast; the list shows what is left, quietly: the
    // user has heard once that the network failed, and with no network it fails again.
    if (&request != m_clearRequest.get())
        return;
    m_clearRequest.reset();
    reloadAfterClear(ServerRequest::Overlay::Quiet);
}

void EroorExamViewController::reloadAfterClear(ServerRequest::Overlay overlay)
{
    // Later, so that the finished clear's overlay is gone before the list's is shown.
    std::weak_ptr<EroorExamViewController> weak = std::static_pointer_cast<EroorExamViewController>(shared_from_this());
    core::post([weak, overlay] {
        auto self = weak.lock();
        if (self && !self->m_closed)
            self->requestList(overlay);
    });
}

void EroorExamViewController::showBook(const QJsonArray& entries)
{
    if (auto old = view()->viewWithTag(kTreeViewTag))
        old->removeFromSuperview();
    m_data.clear();
    for (const QJsonValue& value : entries) {
        const QJsonObject entry = Record::object(value);
        if (entry.isEmpty() || countOf(entry) == 0)
            continue;
        const QString code = Record::stringValue(Record::value(entry, "code"));
        if (Record::intValue(Record::value(entry, "type")) == 1)
            m_data.push_back(makeDirectoryRow(entry, code));
        else
            m_data.push_back(makePaperRow(entry, code));
    }
    const double w = CommonUtil::getSysWidth();
    const double h = CommonUtil::getSysHeight();
    auto self = std::static_pointer_cast<EroorExamViewController>(shared_from_this());
    auto tree = TreeView::create(ui::Rect(0, h / 7 + 10, w, 6 * h / 7 - 10));
    tree->setDelegate(self);
    tree->setDataSource(self);
    tree->setSeparatorStyle(TreeViewCellSeparatorStyle::None);
    tree->reloadData();
    tree->setBackgroundColor(ui::Color::clear());
    tree->setTag(kTreeViewTag);
    view()->addSubview(tree);
}

std::shared_ptr<SpecalHeadView> EroorExamViewController::makeDirectoryRow(const QJsonObject& entry, const QString& code)
{
    auto row = SpecialRowControls::makeRow(SpecialRowControls::topConnectors());
    const QJsonObject directory = Record::object(Record::value(entry, "directory"));
    const double w = row->frame().width();
    auto name = addName(*row, w, 1, directory, code, kDirectoryLevel);
    const QJsonArray chapters = Record::array(Record::value(entry, "chapters"));
    for (qsizetype j = 0; j < chapters.size(); ++j) {
        const QJsonObject chapter = Record::object(chapters.at(j));
        if (chapter.isEmpty() || countOf(chapter) == 0)
            continue;
        row->appendChild(makeChapterRow(chapter, code, j == chapters.size() - 1, w));
    }
    auto button = addStartButton(*row, directory, code, kDirectoryLevel);
    addCount(*row, w, countOf(entry), *button, *name);
    return row;
}

std::shared_ptr<SpecalHeadView> EroorExamViewController::makeChapterRow(const QJsonObject& chapter, const QString& code,
                                                                        bool lastChapter, double directoryWidth)
{
    const QJsonArray nodes = Record::array(Record::value(chapter, "nodes"));
    const qsizetype n = nodes.size();
    auto row = SpecialRowControls::makeRow(SpecialRowControls::chapterConnectors(n, lastChapter));
    const QJsonObject record = Record::object(Record::value(chapter, "chapter"));
    auto name = addName(*row, directoryWidth, 1, record, code, kChapterLevel);
    // Element 0 stands for the chapter itself and gets no row.
    for (qsizetype m = 1; m < n; ++m) {
        const QJsonObject node = Record::object(nodes.at(m));
        if (node.isEmpty() || countOf(node) == 0)
            continue;
        row->appendChild(makeNodeRow(node, code, lastChapter && m == n - 1));
    }
    auto button = addStartButton(*row, record, code, kChapterLevel);
    addCount(*row, directoryWidth, countOf(chapter), *button, *name);
    return row;
}

std::shared_ptr<SpecalHeadView> EroorExamViewController::makeNodeRow(const QJsonObject& node, const QString& code,
                                                                     bool lastNodeOfLastChapter)
{
    auto row = SpecialRowControls::makeRow(SpecialRowControls::nodeConnectors(lastNodeOfLastChapter));
    fillLeafRow(*row, Record::object(Record::value(node, "node")), code, kNodeLevel, 3, countOf(node));
    return row;
}

std::shared_ptr<SpecalHeadView> EroorExamViewController::makePaperRow(const QJsonObject& entry, const QString& code)
{
    // A paper has no rows below it: its picture shows no "+" that would open nothing.
    auto row = SpecialRowControls::makeRow(SpecialRowControls::closedTopConnectors());
    fillLeafRow(*row, Record::object(Record::value(entry, "paper")), code, kPaperLevel, 1, countOf(entry));
    return row;
}

void EroorExamViewController::fillLeafRow(SpecalHeadView& row, const QJsonObject& record, const QString& code,
                                          const QString& editType, double nameY, qint64 count)
{
    const double w = row.frame().width();
    auto button = addStartButton(row, record, code, editType);
    auto name = addName(row, w, nameY, record, code, editType);
    addCount(row, w, count, *button, *name);
}

std::shared_ptr<SpecialName> EroorExamViewController::addName(SpecalHeadView& row, double rowWidth, double y,
                                                              const QJsonObject& record, const QString& code,
                                                              const QString& editType)
{
    auto name = SpecialName::create();
    name->setText(Record::screenText(Record::value(record, "name")));
    name->setFont(ui::Font::boldSystemFont(SpecialRowControls::countFontSize()));
    name->setLineBreakMode(ui::LineBreakMode::CharWrap);
    name->setNumberOfLines(2);
    name->setTextColor(ui::Color::black());
    name->setBackgroundColor(ui::Color::clear());
    name->setFrame(ui::Rect(rowWidth / 8, y, 3 * rowWidth / 8, 20));
    row.addSubview(name);
    SpecialRowControls::tag(*name, record, code, editType);
    name->setUserInteractionEnabled(true);
    std::weak_ptr<EroorExamViewController> weak = std::static_pointer_cast<EroorExamViewController>(shared_from_this());
    name->addGestureRecognizer(ui::TapGestureRecognizer::create([weak](ui::GestureRecognizer& recognizer) {
        if (auto screen = weak.lock())
            screen->startLabelExam(recognizer);
    }));
    return name;
}

std::shared_ptr<SpecialEditBtn> EroorExamViewController::addStartButton(SpecalHeadView& row, const QJsonObject& record,
                                                                        const QString& code, const QString& editType)
{
    // Placed from the screen's width at every level.
    auto button = SpecialRowControls::makeStartButton(CommonUtil::getSysWidth());
    auto self = std::static_pointer_cast<EroorExamViewController>(shared_from_this());
    button->addTarget(self, &EroorExamViewController::startExam, ui::ControlEvent::TouchUpInside);
    row.addSubview(button);
    SpecialRowControls::tag(*button, record, code, editType);
    return button;
}

void EroorExamViewController::addCount(SpecalHeadView& row, double rowWidth, qint64 count, const SpecialEditBtn& button,
                                       SpecialName& name)
{
    const double f = SpecialRowControls::countFontSize();
    auto countLabel = SpecialRowControls::makeCountLabel(count);
    const ui::Rect first = name.frame();
    countLabel->setFrame(ui::Rect(button.frame().x() - 5 * f, 1, rowWidth - first.width() - first.x(), 20));
    row.addSubview(countLabel);
    SpecialRowControls::layoutName(name, countLabel->frame().x());
}

void EroorExamViewController::startExam(const std::shared_ptr<ui::Control>& sender)
{
    if (auto button = std::dynamic_pointer_cast<SpecialEditBtn>(sender))
        openPractice(button->rowTag());
}

void EroorExamViewController::startLabelExam(ui::GestureRecognizer& recognizer)
{
    if (auto name = std::dynamic_pointer_cast<SpecialName>(recognizer.view()))
        openPractice(name->rowTag());
}

void EroorExamViewController::openPractice(const RowTag& tag)
{
    if (!tag.data)
        return;
    const QString level = tag.editType.value_or(QString());
    int kind = 6;
    if (level == kDirectoryLevel)
        kind = 7;
    else if (level == kChapterLevel)
        kind = 8;
    else if (level == kNodeLevel)
        kind = 9;
    auto practice = ExamStartViewController::create();
    practice->setData(*tag.data);
    practice->setType(kind);
    practice->setError_type(m_type);
    practice->setKeepCode(tag.code.value_or(QString()));
    presentViewController(practice, true, [] {});
}
