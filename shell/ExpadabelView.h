#pragma once

#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"
#include "platform/ui/View.h"
#include "shell/ExpadabelTableViewDelegate.h"

#include <QString>
#include <memory>

class ExpadabelTableView;
class ExpadabelViewDelegate;
class HeadView;

// A two-level accordion: group heads as section headers, at most one group open, an open
// group's entries as rows. A tapped entry's record goes to the owner.
class ExpadabelView : public ui::View,
                      public ui::TableViewDataSource,
                      public ui::TableViewDelegate,
                      public ExpadabelTableViewDelegate {
public:
    static std::shared_ptr<ExpadabelView> create(const ui::Rect& frame);

    std::shared_ptr<ExpadabelTableView> tableView() const { return m_view; }
    std::shared_ptr<ExpadabelViewDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ExpadabelViewDelegate>& delegate) { m_delegate = delegate; }

    void replaseTable(ExpadabelTableView& table, const std::shared_ptr<HeadView>& headview) override;
    // Opens the tapped group when it was closed and closes every other one.
    void reset(ExpadabelTableView& table, const HeadView& headview);

    // Each (section, row) has its own identifier: the cell shows that one entry.
    static QString reuseIdentifier(int section, int row);

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    std::optional<double> heightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    std::shared_ptr<ui::View> viewForHeaderInSection(ui::TableView& tableView, int section) override;
    std::optional<double> heightForHeaderInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::View> viewForFooterInSection(ui::TableView& tableView, int section) override;
    std::optional<double> heightForFooterInSection(ui::TableView& tableView, int section) override;

protected:
    explicit ExpadabelView(const ui::Rect& frame);

private:
    std::shared_ptr<HeadView> groupAt(int section) const;

    std::shared_ptr<ExpadabelTableView> m_view;
    std::weak_ptr<ExpadabelViewDelegate> m_delegate;
};
