#include "shell/LeftViewController.h"

#include "components/sidepanel/SidePanelController.h"
#include "platform/core/FormBody.h"
#include "platform/core/Log.h"
#include "platform/core/Record.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"
#include "appbase/CommonUtil.h"
#include "shell/ExpadabelTableView.h"
#include "shell/ExpadabelView.h"
#include "shell/HeadView.h"
#include "shell/LeftViewControllerDelegate.h"
#include "appbase/ServerRequest.h"

std::shared_ptr<LeftViewController> LeftViewController::create()
{
    return std::shared_ptr<LeftViewController>(new LeftViewController());
}

void LeftViewController::viewDidLoad()
{
    ui::ViewController::viewDidLoad();
    view()->setBackgroundColor(ui::Color::black());
}

bool LeftViewController::isLoadingList() const
{
    return m_listRequest && m_listRequest->isRunning();
}

void LeftViewController::willOpenViewSide(SidePanelController&, SidePanelSide, bool)
{
    if (CommonUtil::getSubjectData())
        return;
    // A second opening while the list is on its way waits for that reply.
    if (isLoadingList())
        return;
    requestSubjectList();
}

void LeftViewController::requestSubjectList()
{
    auto self = std::static_pointer_cast<LeftViewController>(shared_from_this());
    m_listRequest = ServerRequest::send(QStringLiteral("exam/subject_type_list"),
                                        core::FormBody{{QStringLiteral("type"), QStringLiteral("focus-c")}}, 0,
                                        view(), self);
}

void LeftViewController::requestDidFinish(ServerRequest& request)
{
    const auto reply = request.json();
    // Only a list counts as held; anything else is asked for again at the next opening.
    if (!reply || !reply->isArray())
        return;
    CommonUtil::setSubjectData(request.receiveData());
    buildMenu(reply->toArray());
}

void LeftViewController::buildMenu(const QJsonArray& groups)
{
    auto self = std::static_pointer_cast<LeftViewController>(shared_from_this());
    m_expadabelView = ExpadabelView::create(ui::Rect(0, 0, CommonUtil::getSysWidth(), CommonUtil::getSysHeight()));
    m_expadabelView->setDelegate(self);
    auto table = m_expadabelView->tableView();
    table->heads().clear();
    for (int i = 0; i < groups.size(); ++i)
        table->heads().push_back(makeGroupHead(groups.at(i).toObject(), i));
    view()->addSubview(m_expadabelView);
    table->reloadData();
}

std::shared_ptr<HeadView> LeftViewController::makeGroupHead(const QJsonObject& group, int section)
{
    auto table = m_expadabelView->tableView();
    auto head = HeadView::create();
    head->setDelegate(table);
    head->initheadBtn(CommonUtil::getImageName("subjectbtn_01", ".png"),
                      CommonUtil::getImageName("subjectbtn_01", ".png"));
    head->setSection(section);
    head->setType(HeadView::kGroup);
    const ui::Rect frame = head->frame();
    addCaption(*head, core::Record::value(group, "typeName").toString(), frame);

    const QJsonArray entries = core::Record::array(core::Record::value(group, "TSubjects"));
    for (int j = 0; j < entries.size(); ++j)
        head->addChild(makeEntryHead(entries.at(j).toObject(), j, frame));
    return head;
}

std::shared_ptr<HeadView> LeftViewController::makeEntryHead(const QJsonObject& subject, int row,
                                                            const ui::Rect& groupFrame)
{
    auto entry = HeadView::create();
    entry->initheadBtn(CommonUtil::getImageName("subjectbtn_02", ".png"),
                       CommonUtil::getImageName("subjectbtn_02", ".png"));
    entry->setDelegate(m_expadabelView->tableView());
    entry->setSection(row);
    entry->setType(HeadView::kEntry);
    entry->setData(subject);
    addCaption(*entry, core::Record::value(subject, "subjectName").toString(), groupFrame);
    return entry;
}

void LeftViewController::addCaption(HeadView& head, const QString& text, const ui::Rect& groupFrame)
{
    const double w = groupFrame.width();
    const double h = groupFrame.height();
    auto label = ui::Label::create(ui::Rect(w / 4, 0, w - w / 4, h));
    label->setText(text);
    label->setFont(ui::Font::boldSystemFont(CommonUtil::designSize(20)));
    label->setLineBreakMode(ui::LineBreakMode::CharWrap);
    label->setNumberOfLines(2);
    label->setTextColor(ui::Color::white());
    label->setBackgroundColor(ui::Color::clear());
    head.addSubview(label);
}

void LeftViewController::sendData(const QJsonObject& data)
{
    auto self = shared_from_this();
    const QString code = core::Record::stringValue(core::Record::value(data, "code"));
    CommonUtil::setSubjectCode(code);
    if (auto delegate = m_delegate.lock())
        delegate->selectSubject();
    if (auto container = SidePanelController::of(*this))
        container->toggleLeftView();
    core::log(QStringLiteral("LeftViewController"), code);
}
