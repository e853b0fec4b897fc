#pragma once

#include "platform/core/FormBody.h"
#include "platform/ui/Geometry.h"
#include "tests/support/UiFixture.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace server {
class ServerInstance;
}
namespace ui {
class View;
class ViewController;
class Window;
}

// Every app test starts from a fresh process state (the shared fixture's, on the real clock)
// with an empty settings folder of its own and the shared app state at its start values.
class AppTest : public UiFixture {
public:
    // A blocking POST to the server as another client would send it: to set up what a user
    // would already have, or to read what the server stored. Empty unless the status is 200.
    static QJsonDocument post(const server::ServerInstance& server, const QString& path, const core::FormBody& body = {});

protected:
    AppTest();
    ~AppTest() override;
    void SetUp() override;
    void TearDown() override;

    // Points the client at a server for the rest of the test.
    static void useServer(const QString& baseUrl);
    // Starts the real server with the sample bank on an ephemeral loopback port, with a
    // throw-away database, and points the client at it. It stops with the test.
    server::ServerInstance& startSampleServer();
    // Starts the sample server and signs in as a fresh registered user with the first
    // subject of the sample bank chosen, as a user would be before opening a content screen.
    server::ServerInstance& startSignedIn();

    // The first view under `root` (depth first, itself included) whose accessibility label
    // is `label`; null when there is none.
    static std::shared_ptr<ui::View> findByLabel(const std::shared_ptr<ui::View>& root, const QString& label);
    // Taps the view labelled `label` under `root` through the touch injector, as a finger
    // would; false when no such view is there or it is not in a window.
    static bool tapLabel(const std::shared_ptr<ui::View>& root, const QString& label);
    // Whether a label under `root` shows `text`, or a view there carries it as its
    // accessibility label: what a user would see on the screen.
    static bool shows(const std::shared_ptr<ui::View>& root, const QString& text);
    // The screen presented over `below` once it is a `Screen`, has appeared and its wait
    // overlay has gone; null if none comes.
    template<class Screen>
    static std::shared_ptr<Screen> onTop(const std::shared_ptr<ui::ViewController>& below)
    {
        return std::dynamic_pointer_cast<Screen>(settledOver(below, [](const ui::ViewController& screen) {
            const ui::ViewController* shown = &screen;
            return bool(dynamic_cast<const Screen*>(shown));
        }));
    }
    // Until the screen is off the screen (nobody presents it any more) or freed.
    static bool closes(const std::weak_ptr<ui::ViewController>& screen);
    // The base address of a port that refuses connections.
    static QString refusingServerUrl();
    // Pumps the real run loop until done() holds (10 s at most).
    static bool pumpUntil(const std::function<bool()>& done, double seconds = 10);
    // A value read back from the settings file: the "sysset" list, the "account" value.
    QJsonValue stored(const QString& key) const;
    QJsonArray storedSysset() const { return stored(QStringLiteral("sysset")).toArray(); }
    QJsonValue storedAccount() const { return stored(QStringLiteral("account")); }

    // Texts of the text-only overlays (toasts) directly on the view.
    static QStringList toastTexts(const std::shared_ptr<ui::View>& view);
    // Whether the wait overlay over the view has faded out (toasts aside): until then it
    // takes the screen's touches, as on the phone.
    static bool overlaysGone(const std::shared_ptr<ui::View>& view);
    // A window of the main screen's size holding the view, so that taps reach it.
    static std::shared_ptr<ui::Window> windowWith(const std::shared_ptr<ui::View>& view);

    // Frames equal up to the rounding of the platform's centre-and-bounds geometry.
    static testing::AssertionResult sameRect(const ui::Rect& actual, const ui::Rect& expected);

    static std::shared_ptr<ui::ViewController> settledOver(const std::shared_ptr<ui::ViewController>& below,
                                                           const std::function<bool(const ui::ViewController&)>& wanted);

    QTemporaryDir m_dataDir;
    std::unique_ptr<server::ServerInstance> m_sampleServer;
};
