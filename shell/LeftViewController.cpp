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
    auto table = makeMenu();
    for (int i = 0; i < groups.size(); ++i)
        table->heads().push_back(makeGroupHead(groups.at(i).toObject(), i));
    showMenu();
}

std::shared_ptr<HeadView> LeftViewController::makeGroupHead(const QJsonObject& group, int section)
{
    auto head = makeHead(HeadView::kGroup, section);
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
    auto entry = makeHead(HeadView::kEntry, row);
    entry->setData(subject);
    addCaption(*entry, core::Record::value(subject, "subjectName").toString(), groupFrame);
    return entry;
}

void LeftViewController::loadModel()
{
    auto table = makeMenu();
    for (int i = 0; i < 5; ++i) {
        auto head = makeHead(HeadView::kGroup, i);
        for (int j = 0; j < 5; ++j)
            head->addChild(makeHead(HeadView::kEntry, j));
        table->heads().push_back(head);
    }
    showMenu();
}

std::shared_ptr<ExpadabelTableView> LeftViewController::makeMenu()
{
    auto self = std::static_pointer_cast<LeftViewController>(shared_from_this());
    m_expadabelView = ExpadabelView::create(ui::Rect(0, 0, CommonUtil::getSysWidth(), CommonUtil::getSysHeight()));
    m_expadabelView->setDelegate(self);
    auto table = m_expadabelView->tableView();
    table->heads().clear();
    return table;
}

void LeftViewController::showMenu()
{
    view()->addSubview(m_expadabelView);
    m_expadabelView->tableView()->reloadData();
}

std::shared_ptr<HeadView> LeftViewController::makeHead(int type, int section)
{
    // Spelled out so the artwork check sees both names.
    const QString image = type == HeadView::kGroup ? CommonUtil::getImageName("subjectbtn_01", ".png")
                                                   : CommonUtil::getImageName("subjectbtn_02", ".png");
    auto head = HeadView::create();
    head->initheadBtn(image, image);
    head->setDelegate(m_expadabelView->tableView());
    head->setSection(section);
    head->setType(type);
    return head;
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
