#pragma once

#include "appbase/ChromeViewController.h"
#include "appbase/ServerRequestDelegate.h"
#include "components/hud/ProgressHUDDelegate.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

class ReportViewControllerDelegate;
namespace ui {
class Image;
class Rect;
class ScrollView;
class View;
}

// The score report shown after a practice run is graded. The practice screen sets every
// property before presenting it; the whole screen is built once when its view loads. The
// report keeps copies of the title, the result flags and the record, so it stays whole
// whatever the practice screen does with its own.
class ReportViewController : public ChromeViewController,
                             public ServerRequestDelegate,
                             public ProgressHUDDelegate {
public:
    // The report's `type`: 0 is the score layout of paper practice, anything else the count layout.
    enum ReportKind { ScoreLayout = 0, CountLayout = 1 };
    static constexpr int ScrollViewTag = 2000;

    static std::shared_ptr<ReportViewController> create();

    std::shared_ptr<ReportViewControllerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<ReportViewControllerDelegate>& delegate) { m_delegate = delegate; }
    int type() const { return m_type; }
    void setType(int type) { m_type = type; }
    const QString& rtitle() const { return m_rtitle; }
    void setRtitle(const QString& rtitle) { m_rtitle = rtitle; }
    // The run's result flags, one per graded question: "1" wrong or unanswered, else right.
    const QStringList& examArr() const { return m_examArr; }
    void setExamArr(const QStringList& examArr) { m_examArr = examArr; }
    // The question each flag belongs to (its index in the run), when the run had questions that
    // are not graded; a tile carries its question's number. Without it flag p is question p.
    const QList<int>& flagQuestions() const { return m_flagQuestions; }
    void setFlagQuestions(const QList<int>& questions) { m_flagQuestions = questions; }
    const QJsonObject& paper() const { return m_paper; }
    void setPaper(const QJsonObject& paper) { m_paper = paper; }
    float scoure() const { return m_scoure; }
    void setScoure(float scoure) { m_scoure = scoure; }
    int answerCount() const { return m_answerCount; }
    void setAnswerCount(int answerCount) { m_answerCount = answerCount; }
    const QByteArray& receiveData() const { return m_receiveData; }
    int request_tag() const { return m_requestTag; }
    void setRequest_tag(int tag) { m_requestTag = tag; }

    void errorClick(const std::shared_ptr<ui::Control>& sender);
    void allClick(const std::shared_ptr<ui::Control>& sender);
    // A tile opens its question in review.
    void tileClick(int question);

    // A score-chart reply: fills the chart box (tag 2001) and the label box (tag 2002) of the
    // scroll view where the screen has them.
    void requestDidFinish(ServerRequest& request) override;
    void showScoreChart(const QByteArray& reply);

protected:
    ReportViewController();
    void viewDidLoad() override;
    void releaseReferences() override;

private:
    struct Counts {
        int flags = 0;
        int right = 0;
    };

    void addTitleImage();
    std::shared_ptr<ui::ScrollView> addScrollView();
    void addScoreLayout(ui::ScrollView& scroll, int& contentHeight);
    void addCountLayout(ui::ScrollView& scroll, int& contentHeight);
    Counts addTiles(ui::ScrollView& scroll, int tileTop, int& contentHeight);
    void addReviewButtons(ui::ScrollView& scroll, int& contentHeight);
    std::shared_ptr<ui::View> makeTile(const ui::Image& image, const ui::Rect& frame, int question);
    int questionOfFlag(int flag) const;

    std::weak_ptr<ReportViewControllerDelegate> m_delegate;
    int m_type = ScoreLayout;
    QString m_rtitle;
    QStringList m_examArr;
    QList<int> m_flagQuestions;
    QJsonObject m_paper;
    float m_scoure = 0;
    int m_answerCount = 0;
    QByteArray m_receiveData;
    int m_requestTag = 0;
    double m_titleImageHeight = 0;
    double m_titleImageWidth = 0;
};
