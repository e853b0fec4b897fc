#include "shell/ExpadabelView.h"

#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "shell/ExpadabelTableView.h"
#include "shell/ExpadabelViewDelegate.h"
#include "shell/HeadView.h"

std::shared_ptr<ExpadabelView> ExpadabelView::create(const ui::Rect& frame)
{
    auto view = std::shared_ptr<ExpadabelView>(new ExpadabelView(frame));
    view->m_view->setExpadabledelegate(view);
    view->m_view->setDelegate(view);
    view->m_view->setDataSource(view);
    return view;
}

ExpadabelView::ExpadabelView(const ui::Rect& frame)
    : ui::View(frame)
    , m_view(ExpadabelTableView::create(ui::Rect(0, 0, frame.width(), frame.height())))
{
    m_view->setSeparatorColor(ui::Color::clear());
    m_view->setBackgroundColor(ui::Color::black());
    m_view->setSeparatorStyle(ui::TableViewCellSeparatorStyle::None);
    addSubview(m_view);
}

QString ExpadabelView::reuseIdentifier(int section, int row)
{
    return QStringLiteral("cell%1.%2").arg(section).arg(row);
}

void ExpadabelView::replaseTable(ExpadabelTableView& table, const std::shared_ptr<HeadView>& headview)
{
    if (headview->isGroup()) {
        reset(table, *headview);
        return;
    }
    auto self = shared_from_this();
    if (auto delegate = m_delegate.lock())
        delegate->sendData(headview->data());
}

void ExpadabelView::reset(ExpadabelTableView& table, const HeadView& headview)
{
    const auto& heads = table.heads();
    for (std::size_t i = 0; i < heads.size(); ++i) {
        const auto& group = heads[i];
        if (static_cast<int>(i) == headview.section() && !group->open()) {
            group->setOpen(true);
            group->headBtn()->setBackgroundImage(ui::Image::named(headview.highlightedImage()), ui::ControlState::Normal);
            continue;
        }
        group->headBtn()->setBackgroundImage(ui::Image::named(headview.normalImage()), ui::ControlState::Normal);
        group->setOpen(false);
    }
    table.reloadData();
}

std::shared_ptr<HeadView> ExpadabelView::groupAt(int section) const
{
    const auto& heads = m_view->heads();
    if (section < 0 || section >= static_cast<int>(heads.size()))
        return nullptr;
    return heads[section];
}

int ExpadabelView::numberOfSectionsInTableView(ui::TableView&)
{
    return static_cast<int>(m_view->heads().size());
}

int ExpadabelView::numberOfRowsInSection(ui::TableView&, int section)
{
    // Each group's own flag decides: tapping an entry must not empty the open group.
    auto group = groupAt(section);
    if (!group || !group->open())
        return 0;
    return static_cast<int>(group->chlder().size());
}

std::shared_ptr<ui::TableViewCell> ExpadabelView::cellForRowAtIndexPath(ui::TableView& tableView,
                                                                        const ui::IndexPath& indexPath)
{
    const QString identifier = reuseIdentifier(indexPath.section, indexPath.row);
    auto cell = tableView.dequeueReusableCellWithIdentifier(identifier);
    if (!cell)
        cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, identifier);
    auto group = groupAt(indexPath.section);
    if (group && indexPath.row < static_cast<int>(group->chlder().size()))
        cell->contentView()->addSubview(group->chlder()[indexPath.row]);
    cell->textLabel()->setBackgroundColor(ui::Color::clear());
    cell->textLabel()->setTextColor(ui::Color::white());
    cell->setBackgroundColor(ui::Color::clear());
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    return cell;
}

std::optional<double> ExpadabelView::heightForRowAtIndexPath(ui::TableView&, const ui::IndexPath& indexPath)
{
    auto group = groupAt(indexPath.section);
    return group ? group->frame().height() : 0;
}

std::shared_ptr<ui::View> ExpadabelView::viewForHeaderInSection(ui::TableView&, int section)
{
    return groupAt(section);
}

std::optional<double> ExpadabelView::heightForHeaderInSection(ui::TableView&, int section)
{
    auto group = groupAt(section);
    return group ? group->frame().height() : 0;
}

std::shared_ptr<ui::View> ExpadabelView::viewForFooterInSection(ui::TableView&, int)
{
    return nullptr;
}

std::optional<double> ExpadabelView::heightForFooterInSection(ui::TableView&, int)
{
    return 0.0;
}
