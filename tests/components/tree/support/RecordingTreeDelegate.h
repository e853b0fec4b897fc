#pragma once

#include "components/tree/TreeNodeInfo.h"
#include "components/tree/TreeViewDelegate.h"
#include "support/OutlineSource.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

// A delegate that implements the methods the tests follow, logs each call as "name(item,+|-)" (the
// info's expanded flag) and answers what the test sets. Rows are 30 high and indented by depth.
class RecordingTreeDelegate : public TreeViewDelegate {
public:
    std::vector<std::string> log;
    std::optional<bool> shouldExpand;
    std::optional<bool> shouldCollapse;
    Item willSelectAnswer;

    std::size_t position(const std::string& entry) const // npos when absent
    {
        const auto it = std::find(log.begin(), log.end(), entry);
        return it == log.end() ? std::string::npos : std::size_t(it - log.begin());
    }

    std::optional<double> heightForRowForItem(TreeView&, const Item& i, const Info& n) override { record("height", i, n); return 30; }
    std::optional<long> indentationLevelForRowForItem(TreeView&, const Item& i, const Info& n) override
    {
        record("indentation", i, n);
        return n->treeDepthLevel();
    }
    void willDisplayCell(TreeView&, const Cell&, const Item& i, const Info& n) override { record("willDisplay", i, n); }
    std::optional<bool> shouldItemBeExpandedAfterDataReload(TreeView&, const Item& i, long) override
    {
        record("expandAfterReload", i, nullptr);
        return false;
    }
    std::optional<bool> shouldExpandRowForItem(TreeView&, const Item& i, const Info& n) override { record("shouldExpand", i, n); return shouldExpand; }
    std::optional<bool> shouldCollapaseRowForItem(TreeView&, const Item& i, const Info& n) override { record("shouldCollapse", i, n); return shouldCollapse; }
    void willExpandRowForItem(TreeView&, const Item& i, const Info& n) override { record("willExpand", i, n); }
    void willCollapseRowForItem(TreeView&, const Item& i, const Info& n) override { record("willCollapse", i, n); }
    void didExpandRowForItem(TreeView&, const Item& i, const Info& n) override { record("didExpand", i, n); }
    void didCollapseRowForItem(TreeView&, const Item& i, const Info& n) override { record("didCollapse", i, n); }
    Item willSelectRowForItem(TreeView&, const Item& i, const Info& n) override { record("willSelect", i, n); return willSelectAnswer; }
    void didSelectRowForItem(TreeView&, const Item& i, const Info& n) override { record("didSelect", i, n); }
    std::optional<QString> titleForDeleteConfirmationButtonForRowForItem(TreeView&, const Item& i, const Info& n) override
    {
        record("deleteTitle", i, n);
        return QStringLiteral("Remove");
    }

private:
    void record(const char* name, const Item& item, const Info& info)
    {
        const std::string itemName = item ? nameOf(item) : "-";
        log.push_back(std::string(name) + "(" + itemName + "," + (info && info->isExpanded() ? "+" : "-") + ")");
    }
};
