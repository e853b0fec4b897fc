#include "support/OutlineDataSource.h"

#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"

OutlineDataSource::OutlineDataSource(std::vector<Outline> top)
    : m_outline(std::move(top))
    , m_source(m_outline.source())
{
}

long OutlineDataSource::numberOfChildrenOfItem(TreeView&, const std::shared_ptr<TreeItem>& item)
{
    return m_source.numberOfChildren(item);
}

std::shared_ptr<ui::TableViewCell> OutlineDataSource::cellForItem(TreeView&, const std::shared_ptr<TreeItem>& item,
                                                                  const std::shared_ptr<TreeNodeInfo>&)
{
    auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, QStringLiteral("cell"));
    cell->textLabel()->setText(QString::fromStdString(static_cast<const NamedItem&>(*item).name()));
    return cell;
}

std::shared_ptr<TreeItem> OutlineDataSource::child(TreeView&, long index, const std::shared_ptr<TreeItem>& item)
{
    return m_source.child(index, item);
}
