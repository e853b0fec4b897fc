#pragma once

#include "appbase/ServerRequestDelegate.h"
#include "browse/LayoutViewController.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/TableViewDelegate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <memory>

class ServerRequest;

namespace ui {
class TableView;
}

// The notes directory of the chosen subject: one section per directory, its name on a
// directory row and its chapters below; a chapter opens its note. Views and cells come from
// the layout files "NoteDirView", "NodeDir" and "ChapterNote".
class NoteDirView : public LayoutViewController,
                    public ui::TableViewDataSource,
                    public ui::TableViewDelegate,
                    public ServerRequestDelegate,
                    public ProgressHUDDelegate {
public:
    static constexpr double kDirectoryRowHeight = 24.0;
    static constexpr double kChapterRowHeight = 43.0;

    static std::shared_ptr<NoteDirView> create();

    std::shared_ptr<ui::TableView> dirList() const { return m_dirList; }
    // The directories of the reply; empty until it arrives.
    const QJsonArray& dirArr() const { return m_dirArr; }
    bool isLoading() const;

    void requestDidFinish(ServerRequest& request) override;

    int numberOfSectionsInTableView(ui::TableView& tableView) override;
    int numberOfRowsInSection(ui::TableView& tableView, int section) override;
    std::shared_ptr<ui::TableViewCell> cellForRowAtIndexPath(ui::TableView& tableView,
                                                             const ui::IndexPath& indexPath) override;
    std::optional<double> heightForRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;
    void didSelectRowAtIndexPath(ui::TableView& tableView, const ui::IndexPath& indexPath) override;

protected:
    NoteDirView();
    void bindOutlets(ui::NibBindings& bindings) override;
    void viewDidLoad() override;

private:
    QJsonObject directory(int section) const;
    QJsonArray chapters(int section) const;
    std::shared_ptr<ui::TableViewCell> loadCell(const QString& layoutName, const QString& text);

    std::shared_ptr<ui::TableView> m_dirList;
    QJsonArray m_dirArr;
    std::shared_ptr<ServerRequest> m_request;
};
