#pragma once

#include "appbase/ChromeViewController.h"
#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUDDelegate.h"
#include "platform/ui/ScrollViewDelegate.h"
#include "platform/ui/WebViewDelegate.h"
#include "practice/MyCheckBoxGroupDelegate.h"
#include "practice/MyRadioGroupDelegate.h"
#include "practice/ReportViewControllerDelegate.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class ExamPage;
class ProgressHUD;
class ServerRequest;
namespace ui {
class Button;
class Label;
class ScrollView;
}

// The practice screen: one run over one question list. The opener sets what the run is for
// (its practice kind, the record practised and, from the error book and favourites, the book
// kind and entry code) before presenting it; the screen copies what it is given.
//
// The list arrives as pages built one after another (each page starts when the previous
// question's text has loaded), followed by the answer card. Finishing grades the run once,
// files the wrong answers of paper and chapter practice in the error book one after another,
// and presents the score report, whose buttons bring the screen back in review.
class ExamStartViewController : public ChromeViewController,
                                public ServerRequestDelegate,
                                public ProgressHUDDelegate,
                                public ui::ScrollViewDelegate,
                                public ui::WebViewDelegate,
                                public MyRadioGroupDelegate,
                                public MyCheckBoxGroupDelegate,
                                public ReportViewControllerDelegate {
public:
    // The request_tag of each request the screen sends.
    enum RequestTag { ListTag = 0, FavouriteTag = 1, UploadTag = 2, DeleteTag = 10000001 };
    static constexpr int CardTag = 8000;
    static constexpr int FinishTag = 8001;

    static std::shared_ptr<ExamStartViewController> create();
    ~ExamStartViewController() override;

    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    const QJsonObject& data() const { return m_data; }
    void setData(const QJsonObject& data) { m_data = data; }
    int error_type() const { return m_errorType; }
    void setError_type(int errorType) { m_errorType = errorType; }
    const QString& keepCode() const { return m_keepCode; }
    void setKeepCode(const QString& keepCode) { m_keepCode = keepCode; }

    // Toolbar and card actions.
    void keepClick(const std::shared_ptr<ui::Control>& sender);
    void cardClick(const std::shared_ptr<ui::Control>& sender);
    void openAnalyze(const std::shared_ptr<ui::Control>& sender);
    void examNumClick(const std::shared_ptr<ui::Control>& sender);
    void finishJobClick(const std::shared_ptr<ui::Control>& sender);

    void showAnalyze(int index);
    void addEroor();

    // Replies of every request of the screen, by tag.
    void requestDidFinish(ServerRequest& request) override;
    void requestDidFail(ServerRequest& request) override;

    void webViewDidFinishLoad(ui::WebView& webView) override;
    void didFailLoadWithError(ui::WebView& webView, const core::UrlError& error) override;
    void scrollViewDidEndDecelerating(ui::ScrollView& scrollView) override;
    void replaseRadioGroupHeight(double height, double oldHeight, int tag) override;
    void radioBtnClick(int tag) override;
    void replaseCheckBoxGroupHeight(double height, double oldHeight, int tag) override;
    void showErrorAnalyze() override;
    void showAllAnalyze() override;
    void showQuestionAnalyze(int index) override;

    void viewWillDisappear(bool animated) override;

    // What the screen shows and holds, for its tests and its report.
    std::shared_ptr<ui::Label> etitle() const { return m_etitle; }
    std::shared_ptr<ui::Label> examCount() const { return m_examCount; }
    std::shared_ptr<ui::Label> countLabel() const { return m_countLabel; }
    std::shared_ptr<ui::Button> keepButton() const { return m_keepButton; }
    std::shared_ptr<ui::Button> cardButton() const { return m_cardButton; }
    std::shared_ptr<ui::Button> analyzeButton() const { return m_analyzeButton; }
    std::shared_ptr<ui::ScrollView> viewGroup() const { return m_viewGroup; }
    std::shared_ptr<ui::ScrollView> answerCard() const { return m_card; }
    std::shared_ptr<ui::Button> finishButton() const { return m_finishButton; }
    double fontsize() const { return m_fontsize; }
    const QJsonArray& examArr() const { return m_examArr; }
    // The page record of question i; its views are null until the page is built.
    std::shared_ptr<ExamPage> examPage(int index) const;
    int pageCount() const { return static_cast<int>(m_pages.size()); }
    const QStringList& errorArr() const { return m_errorArr; }
    const QList<int>& flagQuestions() const { return m_flagQuestions; }
    bool isSubmit() const { return m_isSubmit; }
    float scoure() const { return m_scoure; }
    int answerCount() const { return m_answerCount; }
    bool isShowError() const { return m_isShowError; }
    std::shared_ptr<ServerRequest> listRequest() const { return m_listRequest; }
    // Wrong answers still waiting for their upload.
    int pendingUploads() const { return static_cast<int>(m_addErrorArr.size()); }
    bool isUploading() const { return m_uploading; }

protected:
    ExamStartViewController();
    void viewDidLoad() override;
    void releaseReferences() override;

private:
    std::shared_ptr<ExamStartViewController> self();
    std::shared_ptr<ui::Button> addToolButton(const QString& image, double x,
                                              void (ExamStartViewController::*action)(const std::shared_ptr<ui::Control>&));
    void addToolbar();
    void addTitleStrip();
    void sendListRequest();
    void addNumberLabel();
    void chooseFontSize();

    void handleListReply(const std::optional<QJsonValue>& reply);
    void buildPage(int index);
    void buildAnswerCard();
    void questionTextLoaded(ExamPage& page, bool loaded);
    std::shared_ptr<ExamPage> pageOfWidgetTag(int tag) const;
    std::shared_ptr<ExamPage> pageOfView(const ui::View& view) const;

    int currentNumber() const;
    void moveToPage(int page);
    void showNumber(int number);
    void trackWrongOnlyPage(int page, double offset);
    int pageOfFlag(int flag) const;
    void hideFinishButton();

    void uploadFinished(ServerRequest& request);
    void presentReport();

    int m_type = 0;
    QJsonObject m_data;
    int m_errorType = 0;
    QString m_keepCode;

    std::shared_ptr<ui::Label> m_etitle;
    std::shared_ptr<ui::Label> m_examCount;
    std::shared_ptr<ui::Label> m_countLabel;
    std::shared_ptr<ui::Button> m_keepButton;
    std::shared_ptr<ui::Button> m_cardButton;
    std::shared_ptr<ui::Button> m_analyzeButton;
    double m_fontsize = 16;

    std::shared_ptr<ServerRequest> m_listRequest;
    std::shared_ptr<ServerRequest> m_uploadRequest;
    std::shared_ptr<ProgressHUD> m_uploadOverlay;
    bool m_uploading = false;

    QJsonArray m_examArr;
    std::vector<std::shared_ptr<ExamPage>> m_pages;
    std::shared_ptr<ui::ScrollView> m_viewGroup;
    std::shared_ptr<ui::ScrollView> m_card;
    std::shared_ptr<ui::Button> m_finishButton;

    QList<QJsonObject> m_addErrorArr;
    QStringList m_errorArr;
    QList<int> m_flagQuestions;
    bool m_isSubmit = false;
    float m_scoure = 0;
    int m_answerCount = 0;
    bool m_isShowError = false;
};
