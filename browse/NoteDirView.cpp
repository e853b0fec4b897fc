#include "browse/NoteDirView.h"

#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "browse/ChapterNote.h"
#include "browse/NodeDir.h"
#include "browse/ShowNote.h"
#include "platform/core/FormBody.h"
#include "platform/core/Log.h"
#include "platform/core/Record.h"
#include "platform/ui/Label.h"
#include "platform/ui/Nib.h"
#include "platform/ui/NibBindings.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

namespace {

// Only objects can be shown: anything else in a list is left out.
QJsonArray objectsOf(const QJsonValue& list)
{
    QJsonArray objects;
    for (const QJsonValue& element : core::Record::array(list)) {
        if (element.isObject())
            objects.append(element);
    }
    return objects;
}

} // namespace

std::shared_ptr<NoteDirView> NoteDirView::create()
{
    return std::shared_ptr<NoteDirView>(new NoteDirView());
}

NoteDirView::NoteDirView()
    : LayoutViewController(QStringLiteral("NoteDirView"))
{
}

void NoteDirView::bindOutlets(ui::NibBindings& bindings)
{
    bindings.outlet(QStringLiteral("dirList"), m_dirList);
}

void NoteDirView::viewDidLoad()
{
    LayoutViewController::viewDidLoad();
    auto self = std::static_pointer_cast<NoteDirView>(shared_from_this());
    m_request = ServerRequest::send(QStringLiteral("exam/note_directory_list"),
                                    core::FormBody{{QStringLiteral("subjectCode"),
                                                    CommonUtil::getSubjectCode().value_or(QString())}},
                                    0, view(), self);
    m_dirArr = QJsonArray();
    if (m_dirList) {
        m_dirList->setDelegate(self);
        m_dirList->setDataSource(self);
    }
}

bool NoteDirView::isLoading() const
{
    return m_request && m_request->isRunning();
}

void NoteDirView::requestDidFinish(ServerRequest& request)
{
    m_dirArr = objectsOf(request.json().value_or(QJsonValue()));
    if (m_dirList)
        m_dirList->reloadData();
}

QJsonObject NoteDirView::directory(int section) const
{
    return section >= 0 && section < m_dirArr.size() ? m_dirArr.at(section).toObject() : QJsonObject();
}

QJsonArray NoteDirView::chapters(int section) const
{
    return objectsOf(core::Record::value(directory(section), "chapters"));
}

int NoteDirView::numberOfSectionsInTableView(ui::TableView&)
{
    return static_cast<int>(m_dirArr.size());
}

int NoteDirView::numberOfRowsInSection(ui::TableView&, int section)
{
    return static_cast<int>(chapters(section).size()) + 1;
}

std::optional<double> NoteDirView::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    return indexPath.row == 0 ? kDirectoryRowHeight : kChapterRowHeight;
}

std::shared_ptr<ui::TableViewCell> NoteDirView::cellForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    if (indexPath.row == 0)
        return loadCell(QStringLiteral("NodeDir"),
                        core::Record::screenText(core::Record::value(directory(indexPath.section), "name")));
    const QJsonValue chapter = chapters(indexPath.section).at(indexPath.row - 1);
    return loadCell(QStringLiteral("ChapterNote"), core::Record::screenText(core::Record::value(chapter, "name")));
}

// Each row gets a cell of its own, loaded anew from its file; none is reused.
std::shared_ptr<ui::TableViewCell> NoteDirView::loadCell(const QString& layoutName, const QString& text)
{
    const auto result = ui::Nib::load(layoutName, std::dynamic_pointer_cast<ui::NibOwner>(shared_from_this()));
    auto cell = result && !result.topLevelObjects.empty()
                    ? std::dynamic_pointer_cast<ui::TableViewCell>(result.topLevelObjects.back())
                    : nullptr;
    std::shared_ptr<ui::Label> title;
    if (auto dir = std::dynamic_pointer_cast<NodeDir>(cell))
        title = dir->title();
    else if (auto chapter = std::dynamic_pointer_cast<ChapterNote>(cell))
        title = chapter->title();
    if (!cell) {
        // A row the file could not give still shows its text.
        core::log(QStringLiteral("NoteDirView"), result ? QStringLiteral("layout \"%1\" has no cell").arg(layoutName)
                                                        : result.error);
        cell = ui::TableViewCell::create();
        title = cell->textLabel();
    }
    if (title)
        title->setText(text);
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(ui::Color::clear());
    return cell;
}

void NoteDirView::didSelectRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    if (indexPath.row == 0)
        return;
    const QJsonArray list = chapters(indexPath.section);
    if (indexPath.row - 1 >= list.size())
        return;
    const QJsonValue chapter = list.at(indexPath.row - 1);
    auto note = ShowNote::create();
    note->setChapterId(core::Record::stringValue(core::Record::value(chapter, "code")));
    note->setChapterName(core::Record::stringValue(core::Record::value(chapter, "name")));
    presentViewController(note, true, [] {});
}
