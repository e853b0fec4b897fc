#pragma once

#include "appbase/CommonUtil.h"
#include "components/hud/ProgressHUD.h"
#include "platform/core/FormBody.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "practice/ExamPage.h"
#include "practice/ExamStartViewController.h"
#include "server/ServerInstance.h"
#include "tests/support/AppTest.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <httplib.h>

// The practice screen as its openers present it: over a screen of its own in a window, with
// the real server (or a stub) behind it.
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

    // Leaves the screen by its back button, as a user would.
    bool leave()
    {
        // Whatever covers the screen (the report) goes first.
        if (auto covering = m_exam->presentedViewController()) {
            covering->dismissViewController(false, [] {});
            if (!pumpUntil([&] { return !m_exam->presentedViewController() && m_exam->isAppeared(); }))
                return false;
        }
        m_exam->backClick(nullptr);
        return pumpUntil([&] { return !m_host->presentedViewController(); });
    }

    // The list has arrived, every question's page has its widgets and the busy overlay has
    // gone, so touches reach the screen.
    bool waitForPages()
    {
        return pumpUntil([&] {
            if (!overlaysGone(m_exam->view()))
                return false;
            if (!m_exam->viewGroup())
                return false;
            for (int i = 0; i < m_exam->pageCount(); ++i) {
                if (!m_exam->examPage(i)->textLoaded())
                    return false;
            }
            return true;
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

    // The finish button, tapped as a user would.
    void finish()
    {
        ASSERT_TRUE(tapLabel(m_exam->view(), "答题卡"));
        ASSERT_TRUE(tapLabel(m_exam->answerCard(), "交卷"));
    }

    std::shared_ptr<ui::ScrollView> page(int i) const { return m_exam->examPage(i)->page(); }

    // A blocking POST to the test's server, as another client would send it.
    QByteArray post(const QString& path, const core::FormBody& body) const
    {
        httplib::Client client(m_sampleServer->host().toStdString(), m_sampleServer->port());
        const auto reply = client.Post(("/PendarWeb/" + path).toStdString().c_str(), body.encoded().toStdString(),
                                       "application/x-www-form-urlencoded");
        return reply && reply->status == 200 ? QByteArray::fromStdString(reply->body) : QByteArray();
    }

    QString userCode() const { return CommonUtil::getAccount()->value("code").toString(); }

    // The signed-in user's error-book and favourites counts as the server keeps them.
    QJsonObject bookCounts() const
    {
        return QJsonDocument::fromJson(post("exam/error_keep_count",
                                            core::FormBody{{"subjectCode", *CommonUtil::getSubjectCode()}, {"user_code", userCode()}}))
            .object();
    }

    // The signed-in user's error book (type "1") or favourites (type "2") tree.
    QJsonArray bookTree(const QString& type) const
    {
        return QJsonDocument::fromJson(post("exam/directory_list", core::FormBody{{"subjectCode", *CommonUtil::getSubjectCode()},
                                                                                  {"user_code", userCode()},
                                                                                  {"type", type}}))
            .array();
    }

    static QJsonObject paper(const QString& code, const QString& name) { return QJsonObject{{"code", code}, {"name", name}}; }

    std::shared_ptr<ui::ViewController> m_host;
    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ExamStartViewController> m_exam;
};
