#pragma once

#include "appbase/ChromeViewController.h"
#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/TableViewDelegate.h"

#include <QJsonArray>
#include <memory>

class ServerRequest;

namespace ui {
class TableView;
}

// The practice records "练习记录": the user's stored practice runs of the chosen subject,
// one row each; a row replays its run.
class ExerciseRecordViewController : public ChromeViewController,
                                     public ui::TableViewDataSource,
                                     public ui::TableViewDelegate,
                                     public ServerRequestDelegate,
                                     public ProgressHUDDelegate {
public:
    static constexpr int kNameLabelTag = 2000;

    static std::shared_ptr<ExerciseRecordViewController> create();

    // The records of the reply, in order; empty before it.
    const QJsonArray& list() const { return m_list; }
    // The table, once the reply has arrived.
    std::shared_ptr<ui::TableView> tableView() const { return m_tableView; }
    bool isLoading() const;

    void requestDidFinish(ServerRequest& request) override;

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    std::optional<double> heightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

protected:
    ExerciseRecordViewController();
    void viewDidLoad() override;
    void releaseReferences() override;

private:
    void requestRecords();
    void showTable();
    static std::shared_ptr<ui::TableViewCell> makeCell();

    QJsonArray m_list;
    std::shared_ptr<ServerRequest> m_request;
    std::shared_ptr<ui::TableView> m_tableView;
};
