#pragma once

#include "components/tree/TreeViewDelegate.h"

#include <optional>
#include <string>
#include <vector>

// A delegate that implements the methods the tests follow, logs each call as "name(item,+|-)" (the info's
// expanded flag) and answers what the test sets.
class RecordingTreeDelegate : public TreeViewDelegate {
public:
    std::vector<std::string> log;
    std::optional<bool> shouldExpand;
    std::optional<bool> shouldCollapse;
    Item willSelectAnswer;

    std::size_t position(const std::string& entry) const; // npos when absent

    std::optional<double> heightForRowForItem(TreeView&, const Item&, const Info&) override;
    std::optional<long> indentationLevelForRowForItem(TreeView&, const Item&, const Info&) override;
    void willDisplayCell(TreeView&, const Cell&, const Item&, const Info&) override;
    std::optional<bool> shouldItemBeExpandedAfterDataReload(TreeView&, const Item&, long) override;
    std::optional<bool> shouldExpandRowForItem(TreeView&, const Item&, const Info&) override;
    std::optional<bool> shouldCollapaseRowForItem(TreeView&, const Item&, const Info&) override;
    void willExpandRowForItem(TreeView&, const Item&, const Info&) override;
    void willCollapseRowForItem(TreeView&, const Item&, const Info&) override;
    void didExpandRowForItem(TreeView&, const Item&, const Info&) override;
    void didCollapseRowForItem(TreeView&, const Item&, const Info&) override;
    Item willSelectRowForItem(TreeView&, const Item&, const Info&) override;
    void didSelectRowForItem(TreeView&, const Item&, const Info&) override;
    std::optional<QString> titleForDeleteConfirmationButtonForRowForItem(TreeView&, const Item&, const Info&) override;

private:
    void record(const char* name, const Item& item, const Info& info);
};
