#pragma once

#include "appbase/ChromeViewController.h"
#include "appbase/ServerRequest.h"
#include "appbase/ServerRequestDelegate.h"
#include "browse/SpecialTreeSource.h"
#include "components/hud/ProgressHUDDelegate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <memory>
#include <vector>

class SpecalHeadView;
class SpecialEditBtn;
class SpecialName;
class TreeView;
struct RowTag;

namespace ui {
class Button;
class Control;
class GestureRecognizer;
}

// The user's error book (type 0, "错题本") or favourites (type 1, "收藏本") of the chosen
// subject, as a tree of directory entries (with their chapters and nodes) and paper entries.
// A row's start button or name opens a practice run over that part of the book; the clear
// button empties the book on the server and loads the list again.
class EroorExamViewController : public ChromeViewController,
                                public SpecialTreeSource,
                                public ServerRequestDelegate,
                                public ProgressHUDDelegate {
public:
    enum RequestTag { ListTag = 0, ClearTag = 10001 };
    static constexpr int kTreeViewTag = 10002;

    static std::shared_ptr<EroorExamViewController> create();

    // 0 error book, any other value favourites. Set before the screen is presented.
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    // The tag of the request started last.
    int request_tag() const { return m_requestTag; }

    void clearClick(const std::shared_ptr<ui::Control>& sender);
    void startExam(const std::shared_ptr<ui::Control>& sender);
    void startLabelExam(ui::GestureRecognizer& recognizer);

    // The tree shown now (the view tagged kTreeViewTag); null before the first list reply.
    std::shared_ptr<TreeView> treeView() const;
    std::shared_ptr<ui::Button> clearButton() const { return m_clearButton; }
    bool isLoading() const;

    void requestDidFinish(ServerRequest& request) override;
    void requestDidFail(ServerRequest& request) override;

protected:
    EroorExamViewController();
    void viewDidLoad() override;
    void releaseReferences() override;

private:
    void addClearButton();
    void requestList(ServerRequest::Overlay overlay = ServerRequest::Overlay::Shown);
    void reloadAfterClear(ServerRequest::Overlay overlay);
    void showBook(const QJsonArray& entries);
    std::shared_ptr<SpecalHeadView> makeDirectoryRow(const QJsonObject& entry, const QString& code);
    std::shared_ptr<SpecalHeadView> makeChapterRow(const QJsonObject& chapter, const QString& code, bool lastChapter,
                                                   double directoryWidth);
    std::shared_ptr<SpecalHeadView> makeNodeRow(const QJsonObject& node, const QString& code, bool lastNodeOfLastChapter);
    std::shared_ptr<SpecalHeadView> makePaperRow(const QJsonObject& entry, const QString& code);
    // A row without children: its start button, name and count.
    void fillLeafRow(SpecalHeadView& row, const QJsonObject& record, const QString& code, const QString& editType,
                     double nameY, qint64 count);
    // The name label's first look, tagged and tappable; the row's controls come after it.
    std::shared_ptr<SpecialName> addName(SpecalHeadView& row, double rowWidth, double y, const QJsonObject& record,
                                         const QString& code, const QString& editType);
    std::shared_ptr<SpecialEditBtn> addStartButton(SpecalHeadView& row, const QJsonObject& record, const QString& code,
                                                   const QString& editType);
    // The count label beside the start button, then the name label's final layout.
    void addCount(SpecalHeadView& row, double rowWidth, qint64 count, const SpecialEditBtn& button, SpecialName& name);
    void openPractice(const RowTag& tag);

    int m_type = 0;
    int m_requestTag = ListTag;
    // The list shown comes from the list request started last; a clear forgets the one
    // running, so a list that may predate the clear is never shown.
    std::shared_ptr<ServerRequest> m_listRequest;
    std::shared_ptr<ServerRequest> m_clearRequest;
    std::shared_ptr<ui::Button> m_clearButton;
    bool m_closed = false;
};
