#pragma once

#include "appbase/CommonUtil.h"
#include "platform/core/FormBody.h"
#include "platform/core/Record.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "practice/ExamStartViewController.h"
#include "server/ServerInstance.h"
#include "tests/support/AppTest.h"
#include "tests/support/Screenshot.h"
#include "tests/support/StubServer.h"


#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

// A blocking POST to the test's own server, for what a user would already have done (a run
// filed) before opening the screen under test. Undefined unless the status is 200.
inline QJsonValue postForm(const server::ServerInstance& server, const QString& path, const QList<QPair<QString, QString>>& fields)
{
    core::FormBody form;
    for (const auto& [key, value] : fields)
        form.add(key, value);
    const QJsonDocument doc = AppTest::post(server, path, form);
    return doc.isArray() ? QJsonValue(doc.array()) : doc.isObject() ? QJsonValue(doc.object()) : QJsonValue(QJsonValue::Undefined);
}

// A browse screen presented over a root screen in a window, as the home screen presents it,
// with the real server (or a stub) behind it.
class BrowseFixture : public AppTest {
protected:
    // Presents the screen over the root and waits until its reply is in and taps reach it.
    template<class Screen>
    std::shared_ptr<Screen> present(std::shared_ptr<Screen> screen, bool wait = true)
    {
        if (!m_window) {
            m_root = ui::ViewController::create();
            m_window = ui::Window::create(ui::Screen::main().bounds());
            m_window->makeKeyAndVisible();
            m_window->setRootViewController(m_root);
        }
        if (m_root->presentedViewController()) {
            m_root->dismissViewController(false);
            EXPECT_TRUE(pumpUntil([&] { return !m_root->presentedViewController(); }));
        }
        m_root->presentViewController(screen, false);
        if (wait) {
            EXPECT_TRUE(pumpUntil([&] { return !screen->isLoading() && !screen->isTransitioning() && overlaysGone(screen->view()); }));
        }
        m_window->layoutIfNeeded();
        return screen;
    }

    // Points the client at the stub, as a signed-in user with subject "CB" (user "u1").
    void useStub(const QJsonObject& account = QJsonObject{{"code", "u1"}})
    {
        useServer(m_stub.baseUrl());
        CommonUtil::setAccount(account);
        CommonUtil::setSubjectCode(QStringLiteral("CB"));
    }

    QString userCode() const { return core::Record::stringValue(CommonUtil::getAccount()->value("code")); }

    std::shared_ptr<ui::ViewController> m_root;
    std::shared_ptr<ui::Window> m_window;
    StubServer m_stub;
};
