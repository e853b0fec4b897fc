#include "browse/SpecialTreeSource.h"

#include "browse/SpecalHeadView.h"
#include "components/tree/TreeNodeInfo.h"
#include "platform/ui/Color.h"
#include "platform/ui/TableViewCell.h"

namespace {

SpecalHeadView* rowOf(const std::shared_ptr<TreeItem>& item)
{
    return dynamic_cast<SpecalHeadView*>(item.get());
}

} // namespace

const SpecialTreeSource::Rows& SpecialTreeSource::childrenOf(const std::shared_ptr<TreeItem>& item) const
{
    static const Rows none;
    if (!item)
        return m_data;
    auto* row = rowOf(item);
    return row ? row->chlder() : none;
}

long SpecialTreeSource::numberOfChildrenOfItem(TreeView&, const std::shared_ptr<TreeItem>& item)
{
    return static_cast<long>(childrenOf(item).size());
}

std::shared_ptr<TreeItem> SpecialTreeSource::child(TreeView&, long index, const std::shared_ptr<TreeItem>& item)
{
    const Rows& rows = childrenOf(item);
    if (index < 0 || index >= static_cast<long>(rows.size()))
        return nullptr;
    return rows[static_cast<std::size_t>(index)];
}

std::shared_ptr<ui::TableViewCell> SpecialTreeSource::cellForItem(TreeView&, const std::shared_ptr<TreeItem>& item,
                                                                  const std::shared_ptr<TreeNodeInfo>&)
{
    // A fresh cell each time: the row view moves into it, so a reused cell would lose it.
    auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Subtitle, QStringLiteral("cell"));
    cell->setSelectionStyle(ui::TableViewCellSelectionStyle::None);
    cell->setBackgroundColor(ui::Color::clear());
    if (auto row = std::dynamic_pointer_cast<SpecalHeadView>(item))
        cell->addSubview(row);
    return cell;
}

std::optional<bool> SpecialTreeSource::canEditRowForItem(TreeView&, const std::shared_ptr<TreeItem>&,
                                                         const std::shared_ptr<TreeNodeInfo>&)
{
    return false;
}

std::optional<double> SpecialTreeSource::heightForRowForItem(TreeView&, const Item& item, const Info&)
{
    auto* row = rowOf(item);
    return row ? row->frame().height() : 0.0;
}

std::optional<long> SpecialTreeSource::indentationLevelForRowForItem(TreeView&, const Item&, const Info&)
{
    // The connector pictures draw the tree's shape.
    return 0;
}

std::optional<bool> SpecialTreeSource::shouldItemBeExpandedAfterDataReload(TreeView&, const Item&, long)
{
    return false;
}

void SpecialTreeSource::willExpandRowForItem(TreeView&, const Item& item, const Info&)
{
    if (auto* row = rowOf(item))
        row->setExpand();
}

void SpecialTreeSource::didCollapseRowForItem(TreeView&, const Item& item, const Info&)
{
    if (auto* row = rowOf(item))
        row->setColl();
}

void SpecialTreeSource::willDisplayCell(TreeView&, const Cell&, const Item& item, const Info& info)
{
    auto* row = rowOf(item);
    if (!row)
        return;
    if (info && info->isExpanded())
        row->setExpand();
    else
        row->setColl();
}
