#pragma once

#include "appbase/ChromeViewController.h"
#include "appbase/ServerRequestDelegate.h"
#include "browse/SpecialTreeSource.h"
#include "components/hud/ProgressHUDDelegate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <memory>

class ServerRequest;
class SpecalHeadView;
class TreeView;

namespace ui {
class Control;
class GestureRecognizer;
}

// Chapter practice: the chosen subject's chapter tree (directories, chapters, nodes) with
// question counts; a row's start button or name opens a practice run over that part.
class SpecialViewController : public ChromeViewController,
                              public SpecialTreeSource,
                              public ServerRequestDelegate,
                              public ProgressHUDDelegate {
public:
    static std::shared_ptr<SpecialViewController> create();

    void startExam(const std::shared_ptr<ui::Control>& sender);
    void startLabelExam(ui::GestureRecognizer& recognizer);

    // Null until the chapter tree has arrived.
    std::shared_ptr<TreeView> treeView() const { return m_treeView; }
    bool isLoading() const;

    void requestDidFinish(ServerRequest& request) override;

protected:
    SpecialViewController();
    void viewDidLoad() override;
    void releaseReferences() override;

private:
    struct Counted {
        std::shared_ptr<SpecalHeadView> row;
        qint64 count;
    };
    void showTree(const QJsonArray& directories);
    std::shared_ptr<SpecalHeadView> makeDirectoryRow(const QJsonObject& directory);
    Counted makeChapterRow(const QJsonObject& chapter, bool lastChapter);
    Counted makeNodeRow(const QJsonObject& node, bool lastNodeOfLastChapter);
    // Start button, count label and name label of a row, in that order.
    void addControls(SpecalHeadView& row, double buttonRight, qint64 count, const QJsonObject& record,
                     const QString& editType);
    void openPractice(const QJsonObject& record, const QString& editType);

    std::shared_ptr<ServerRequest> m_request;
    std::shared_ptr<TreeView> m_treeView;
};
