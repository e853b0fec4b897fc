#pragma once

#include "components/tree/TreeViewDataSource.h"
#include "platform/ui/Label.h"
#include "platform/ui/TableViewCell.h"
#include "support/OutlineSource.h"

// A tree view data source over an outline: cells show the item's name.
class OutlineDataSource : public TreeViewDataSource {
public:
    explicit OutlineDataSource(std::vector<Outline> top) : m_outline(std::move(top)), m_source(m_outline.source()) {}

    long numberOfChildrenOfItem(TreeView&, const std::shared_ptr<TreeItem>& item) override { return m_source.numberOfChildren(item); }
    std::shared_ptr<TreeItem> child(TreeView&, long index, const std::shared_ptr<TreeItem>& item) override
    {
        return m_source.child(index, item);
    }
    std::shared_ptr<ui::TableViewCell> cellForItem(TreeView&, const std::shared_ptr<TreeItem>& item,
                                                   const std::shared_ptr<TreeNodeInfo>&) override
    {
        auto cell = ui::TableViewCell::create(ui::TableViewCellStyle::Default, QStringLiteral("cell"));
        cell->textLabel()->setText(QString::fromStdString(nameOf(item)));
        return cell;
    }

    std::shared_ptr<TreeItem> item(const std::string& name) const { return m_outline.item(name); }

private:
    OutlineSource m_outline;
    TreeNodeCollectionController::Source m_source;
};
