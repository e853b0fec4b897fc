#pragma once

#include "components/hud/ProgressHUDDelegate.h"
#include "components/sidepanel/SidePanelControllerDelegate.h"
#include "platform/ui/ViewController.h"
#include "shell/ExpadabelViewDelegate.h"
#include "appbase/ServerRequestDelegate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <memory>

class ExpadabelTableView;
class ExpadabelView;
class HeadView;
class LeftViewControllerDelegate;
class ServerRequest;

// The subject menu, the side-panel container's left panel: it asks for the subject groups
// the first time the panel is about to open, shows them as an accordion, and stores the
// subject the user taps.
class LeftViewController : public ui::ViewController,
                           public SidePanelControllerDelegate,
                           public ExpadabelViewDelegate,
                           public ServerRequestDelegate,
                           public ProgressHUDDelegate {
public:
    static std::shared_ptr<LeftViewController> create();

    std::shared_ptr<LeftViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<LeftViewControllerDelegate>& delegate) { m_delegate = delegate; }

    void willOpenViewSide(SidePanelController& container, SidePanelSide side, bool animated) override;
    void sendData(const QJsonObject& data) override;
    void requestDidFinish(ServerRequest& request) override;
    // A fixed menu of five groups of five entries, without captions or records.
    void loadModel();

    // The accordion once the list has arrived; null before.
    std::shared_ptr<ExpadabelView> expadabelView() const { return m_expadabelView; }
    bool isLoadingList() const;

protected:
    LeftViewController() = default;
    void viewDidLoad() override;

private:
    void requestSubjectList();
    void buildMenu(const QJsonArray& groups);
    std::shared_ptr<HeadView> makeGroupHead(const QJsonObject& group, int section);
    std::shared_ptr<HeadView> makeEntryHead(const QJsonObject& subject, int row, const ui::Rect& groupFrame);
    // A new accordion, its heads still to be filled; showMenu adds it and loads it.
    std::shared_ptr<ExpadabelTableView> makeMenu();
    void showMenu();
    // A head for a group (HeadView::kGroup) or an entry, in its place among its siblings.
    std::shared_ptr<HeadView> makeHead(int type, int section);
    static void addCaption(HeadView& head, const QString& text, const ui::Rect& groupFrame);

    std::weak_ptr<LeftViewControllerDelegate> m_delegate;
    std::shared_ptr<ServerRequest> m_listRequest;
    std::shared_ptr<ExpadabelView> m_expadabelView;
};
