#pragma once

#include "appbase/ChromeViewController.h"
#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUDDelegate.h"

#include <QJsonValue>
#include <memory>

class ServerRequest;

namespace ui {
class Button;
class Control;
class Label;
}

// The practice hub "我的练习": one image button for the error book and one for the
// favourites, each labelled with the number of questions it holds, fetched once when the hub
// loads. A button opens its book.
class RecordViewController : public ChromeViewController,
                             public ServerRequestDelegate,
                             public ProgressHUDDelegate {
public:
    static constexpr int kErrorButtonTag = 1000;
    static constexpr int kErrorCountTag = 2000;
    static constexpr int kKeepButtonTag = 1001;
    static constexpr int kKeepCountTag = 2001;

    static std::shared_ptr<RecordViewController> create();

    void drill1Click(const std::shared_ptr<ui::Control>& sender);
    void drill2Click(const std::shared_ptr<ui::Control>& sender);
    // Opens the practice records; no control of the hub sends it.
    void drill3Click(const std::shared_ptr<ui::Control>& sender);

    // The count label inside the button tagged buttonTag; null once the screen is emptied.
    std::shared_ptr<ui::Label> countLabel(int buttonTag, int labelTag);
    bool isLoading() const;

    void requestDidFinish(ServerRequest& request) override;

    // "N道题目" for a count as the server sends it; a missing or unusable count reads 0.
    static QString countText(const QJsonValue& count);

protected:
    RecordViewController();
    void viewDidLoad() override;
    void releaseReferences() override;

private:
    using Action = void (RecordViewController::*)(const std::shared_ptr<ui::Control>&);
    std::shared_ptr<ui::Button> addBookButton(const QString& imageName, double y, int tag, Action action);
    void addCountLabel(ui::Button& button, double centreShift, int tag);
    void requestCounts();
    void openBook(int type);

    std::shared_ptr<ServerRequest> m_request;
};
