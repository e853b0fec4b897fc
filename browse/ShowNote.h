#pragma once

#include "appbase/ServerRequestDelegate.h"
#include "browse/LayoutViewController.h"
#include "components/hud/ProgressHUDDelegate.h"

#include <QString>
#include <QUrl>
#include <memory>

class ServerRequest;

namespace ui {
class Label;
class WebView;
}

// One chapter's note: its name as the title and the note's HTML below, laid out with the
// resource folder as its base. Views come from the layout file "ShowNote".
class ShowNote : public LayoutViewController, public ServerRequestDelegate, public ProgressHUDDelegate {
public:
    static std::shared_ptr<ShowNote> create();

    const QString& chapterId() const { return m_chapterId; }
    void setChapterId(const QString& chapterId) { m_chapterId = chapterId; }
    const QString& chapterName() const { return m_chapterName; }
    void setChapterName(const QString& chapterName) { m_chapterName = chapterName; }

    std::shared_ptr<ui::Label> ctitle() const { return m_ctitle; }
    std::shared_ptr<ui::WebView> webView() const { return m_webView; }
    bool isLoading() const;

    void requestDidFinish(ServerRequest& request) override;

    // The base of every note: the resource folder, so relative names find the app's files.
    static QUrl noteBaseUrl();

protected:
    ShowNote();
    void bindOutlets(ui::NibBindings& bindings) override;
    void viewDidLoad() override;

private:
    void setUpWebView();

    QString m_chapterId;
    QString m_chapterName;
    std::shared_ptr<ui::Label> m_ctitle;
    std::shared_ptr<ui::WebView> m_webView;
    std::shared_ptr<ServerRequest> m_request;
};
