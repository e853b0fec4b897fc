#pragma once

#include "appbase/CommonUtil.h"
#include "platform/core/FormBody.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "practice/ExamPage.h"
#include "practice/ExamStartViewController.h"
#include "practice/ReportViewController.h"
#include "server/ServerInstance.h"
#include "tests/support/AppTest.h"
#include "tests/support/StubServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// A question as the server sends it: four lettered options, `parts` sub-questions of which
// only the first has the category (the others are written answers).
inline QJsonObject question(int i, int category, const QJsonValue& answer = "A", double score = 2, int parts = 1)
{
    QJsonArray options;
    for (int o = 0; o < 4; ++o)
        options.append(QJsonObject{{"orderby", o}, {"detail", QString("选项%1").arg(o)}});
    QJsonArray subs;
    for (int p = 0; p < parts; ++p)
        subs.append(QJsonObject{{"category", p == 0 ? category : 3}, {"answer", answer}, {"examOptions", options}});
    return QJsonObject{{"code", QString("Q%1").arg(i)}, {"category", category}, {"detail", QString("<p>题%1</p>").arg(i)},
                       {"score", score}, {"analyze", "<p>因为如此</p>"}, {"smallExams", subs}};
}

inline QJsonArray singleChoices(int n, const QString& answer = "B")
{
    QJsonArray list;
    for (int i = 0; i < n; ++i)
        list.append(question(i, 0, answer));
    return list;
}

// The practice screens as their openers present them: over a screen of their own in a window,
// with the real server (or a stub) behind them.
class ExamStartFixture : public AppTest {
protected:
    void SetUp() override
    {
        AppTest::SetUp();
        m_host = ui::ViewController::create();
        m_window = ui::Window::create(ui::Screen::main().bounds());
        m_window->setRootViewController(m_host);
        m_window->makeKeyAndVisible();
    }

    void TearDown() override
    {
        m_exam.reset();
        m_window.reset();
        m_host.reset();
        AppTest::TearDown();
    }

    std::shared_ptr<ExamStartViewController> open(int type, const QJsonObject& data = {}, int errorType = 0,
                                                  const QString& keepCode = QString())
    {
        m_exam = ExamStartViewController::create();
        m_exam->setType(type);
        m_exam->setData(data);
        m_exam->setError_type(errorType);
        m_exam->setKeepCode(keepCode);
        m_host->presentViewController(m_exam, true, [] {});
        EXPECT_TRUE(pumpUntil([&] { return m_exam->isAppeared(); }));
        return m_exam;
    }

    // A run of `type` whose list (whatever its path) is `list`, from the stub, with its pages built.
    std::shared_ptr<ExamStartViewController> openStubbed(int type, const QJsonArray& list)
    {
        useServer(m_stub.baseUrl());
        for (const char* path : {"exam/paper_exam_list", "exam/chapter_exam_list", "exam/error_paper_exam_list", "exam/record_exam_list"})
            m_stub.setReply(path, 200, QJsonDocument(list).toJson(QJsonDocument::Compact));
        CommonUtil::setAccount(QJsonObject{{"code", "U9"}});
        CommonUtil::setSubjectCode(QString("CB"));
        open(type, paper("P1", "卷"), 0, "K1");
        EXPECT_TRUE(waitForPages());
        return m_exam;
    }

    // Presents a practice screen in place of the one shown, as its opener does, and waits until
    // touches reach it.
    template<class Screen>
    std::shared_ptr<Screen> present(std::shared_ptr<Screen> screen)
    {
        if (m_host->presentedViewController()) {
            m_host->dismissViewController(false);
            EXPECT_TRUE(pumpUntil([&] { return !m_host->presentedViewController(); }));
        }
        m_host->presentViewController(screen, false);
        EXPECT_TRUE(pumpUntil([&] { return !screen->isTransitioning() && overlaysGone(screen->view()); }));
        m_window->layoutIfNeeded();
        return screen;
    }

    // Leaves the screen (and the report over it) by its back button, as a user would.
    bool leave()
    {
        if (auto covering = m_exam->presentedViewController()) {
            covering->dismissViewController(false, [] {});
            if (!pumpUntil([&] { return !m_exam->presentedViewController() && m_exam->isAppeared(); }))
                return false;
        }
        m_exam->backClick(nullptr);
        return pumpUntil([&] { return !m_host->presentedViewController(); });
    }

    // The list has arrived, every page has its widgets and the busy overlay has gone.
    bool waitForPages()
    {
        return pumpUntil([&] {
            bool loaded = overlaysGone(m_exam->view()) && m_exam->viewGroup();
            for (int i = 0; loaded && i < m_exam->pageCount(); ++i)
                loaded = m_exam->examPage(i)->textLoaded();
            return loaded;
        });
    }

    // Shows question i as the answer card's button does, so touches reach its page.
    void goTo(int i)
    {
        ASSERT_TRUE(tapLabel(m_exam->view(), "答题卡"));
        auto button = findByLabel(m_exam->answerCard(), QString("第%1题").arg(i + 1));
        ASSERT_TRUE(button);
        m_exam->answerCard()->scrollRectToVisible(button->frame(), false);
        ASSERT_TRUE(ui::TouchInjector::tap(*button));
        ASSERT_EQ(m_exam->examCount()->text(), QString::number(i + 1));
    }

    // Picks `label` (an option letter, "对" or "错") on question i.
    void pick(int i, const QString& label)
    {
        goTo(i);
        ASSERT_TRUE(tapLabel(page(i), label)) << i << " " << label.toStdString();
    }
    void pick(const std::vector<std::pair<int, QString>>& picks)
    {
        for (const auto& [i, label] : picks)
            pick(i, label);
    }

    // Types into question i's answer box.
    void write(int i, const QString& text)
    {
        goTo(i);
        ASSERT_TRUE(tapLabel(page(i), "答题框"));
        ASSERT_TRUE(m_window->firstResponder());
        m_window->firstResponder()->insertText(text);
    }

    void finish() { ASSERT_TRUE(tapLabel(m_exam->view(), "答题卡") && tapLabel(m_exam->answerCard(), "交卷")); }

    auto report() const { return std::dynamic_pointer_cast<ReportViewController>(m_exam->presentedViewController()); }
    bool waitForReport() { return pumpUntil([&] { return report() && report()->isAppeared(); }); }

    std::shared_ptr<ui::ScrollView> page(int i) const { return m_exam->examPage(i)->page(); }

    QString userCode() const { return CommonUtil::getAccount()->value("code").toString(); }

    // A reply of the test's server to the signed-in user, asked as another client would: the
    // error-book and favourites counts, the error book's tree (type "1"), a list's questions.
    // Filing a question in the error book (type "0") or the favourites ("1") is asked the same way.
    QJsonDocument ask(const QString& path, core::FormBody body = {}) const
    {
        body.add("subjectCode", *CommonUtil::getSubjectCode()).add("user_code", userCode());
        return post(*m_sampleServer, path, body);
    }
    QJsonObject bookCounts() const { return ask("exam/error_keep_count").object(); }
    QJsonArray bookTree(const QString& type) const { return ask("exam/directory_list", {{"type", type}}).array(); }

    static QJsonObject paper(const QString& code, const QString& name) { return QJsonObject{{"code", code}, {"name", name}}; }
    static QJsonObject firstPaper() { return paper("CBP1", "计算机基础历年真题（一）"); }

    std::shared_ptr<ui::ViewController> m_host;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ExamStartViewController> m_exam;
    StubServer m_stub;
};
