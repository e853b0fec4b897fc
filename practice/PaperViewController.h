#pragma once

#include "appbase/ChromeViewController.h"
#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/TableViewDataSource.h"
#include "platform/ui/TableViewDelegate.h"

#include <QJsonArray>
#include <memory>

class ServerRequest;
namespace ui {
class TableView;
}

// The papers of the chosen subject for one paper-list kind; a tapped paper starts a paper
// practice run. The list is asked for once, when the view loads; the table exists only once a
// reply has arrived.
class PaperViewController : public ChromeViewController,
                            public ServerRequestDelegate,
                            public ProgressHUDDelegate,
                            public ui::TableViewDataSource,
                            public ui::TableViewDelegate {
public:
    // The list's `type`, sent as the kind of paper wanted.
    enum PaperListKind { PastPapers = 0, SprintPapers = 1 };
    static constexpr int NameLabelTag = 2000;
    static constexpr int DifficultyLabelTag = 2001;

    static std::shared_ptr<PaperViewController> create();

    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    const QJsonArray& dataArr() const { return m_dataArr; }
    // Null until a list reply has been shown.
    std::shared_ptr<ui::TableView> tableView() const { return m_tableView; }
    bool isLoading() const;

    void requestDidFinish(ServerRequest& request) override;

    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                            const ui::IndexPath& indexPath) override;
    std::optional<double> heightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

protected:
    PaperViewController();
    void viewDidLoad() override;
    void releaseReferences() override;

private:
    static QString titleForType(int type);
    void requestPaperList();
    void showTable();
    std::shared_ptr<ui::TableViewCell> makeCell();

    int m_type = PastPapers;
    QJsonArray m_dataArr;
    std::shared_ptr<ServerRequest> m_request;
    std::shared_ptr<ui::TableView> m_tableView;
};
