#include "support/RecordingTreeDelegate.h"

#include "components/tree/TreeNodeInfo.h"
#include "support/OutlineSource.h"

#include <algorithm>

std::size_t RecordingTreeDelegate::position(const std::string& entry) const
{
    const auto it = std::find(log.begin(), log.end(), entry);
    return it == log.end() ? std::string::npos : std::size_t(it - log.begin());
}

void RecordingTreeDelegate::record(const char* name, const Item& item, const Info& info)
{
    const std::string itemName = item ? static_cast<const NamedItem&>(*item).name() : "-";
    log.push_back(std::string(name) + "(" + itemName + "," + (info && info->isExpanded() ? "+" : "-") + ")");
}

std::optional<double> RecordingTreeDelegate::heightForRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("height", item, info);
    return 30;
}

std::optional<long> RecordingTreeDelegate::indentationLevelForRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("indentation", item, info);
    return info->treeDepthLevel();
}

void RecordingTreeDelegate::willDisplayCell(TreeView&, const Cell&, const Item& item, const Info& info)
{
    record("willDisplay", item, info);
}

std::optional<bool> RecordingTreeDelegate::shouldItemBeExpandedAfterDataReload(TreeView&, const Item& item, long)
{
    record("expandAfterReload", item, nullptr);
    return false;
}

std::optional<bool> RecordingTreeDelegate::shouldExpandRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("shouldExpand", item, info);
    return shouldExpand;
}

std::optional<bool> RecordingTreeDelegate::shouldCollapaseRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("shouldCollapse", item, info);
    return shouldCollapse;
}

void RecordingTreeDelegate::willExpandRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("willExpand", item, info);
}

void RecordingTreeDelegate::willCollapseRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("willCollapse", item, info);
}

void RecordingTreeDelegate::didExpandRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("didExpand", item, info);
}

void RecordingTreeDelegate::didCollapseRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("didCollapse", item, info);
}

TreeViewDelegate::Item RecordingTreeDelegate::willSelectRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("willSelect", item, info);
    return willSelectAnswer;
}

void RecordingTreeDelegate::didSelectRowForItem(TreeView&, const Item& item, const Info& info)
{
    record("didSelect", item, info);
}

std::optional<QString> RecordingTreeDelegate::titleForDeleteConfirmationButtonForRowForItem(TreeView&, const Item& item,
                                                                                            const Info& info)
{
    record("deleteTitle", item, info);
    return QStringLiteral("Remove");
}
