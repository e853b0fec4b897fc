#include "ShellTest.h"

#include "components/hud/ProgressHUD.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Settings.h"
#include "platform/ui/Application.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "shell/CommonUtil.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <algorithm>
#include <cmath>

void ShellTest::SetUp()
{
    ASSERT_TRUE(m_dataDir.isValid());
    core::Settings::setDataFolder(m_dataDir.path());
    CommonUtil::resetState();
    ui::Screen::resetMain();
    ui::Application::shared().reset();
}

void ShellTest::TearDown()
{
    core::RunLoop::main().processPending();
    core::RunLoop::main().reset();
    ui::Application::shared().reset();
    CommonUtil::resetState();
    qunsetenv(CommonUtil::kServiceUrlVariable);
}

void ShellTest::useServer(const QString& baseUrl)
{
    qputenv(CommonUtil::kServiceUrlVariable, baseUrl.toUtf8());
}

QString ShellTest::refusingServerUrl()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const int port = probe.serverPort();
    probe.close();
    return QStringLiteral("http://127.0.0.1:%1/PendarWeb/").arg(port);
}

bool ShellTest::pumpUntil(const std::function<bool()>& done, double seconds)
{
    return core::RunLoop::main().runUntil(done, seconds);
}

QJsonValue ShellTest::stored(const QString& key) const
{
    QFile file(core::Settings::standard().filePath());
    if (!file.open(QIODevice::ReadOnly))
        return QJsonValue::Undefined;
    return QJsonDocument::fromJson(file.readAll()).object().value(key);
}

QStringList ShellTest::toastTexts(const std::shared_ptr<ui::View>& view)
{
    QStringList texts;
    for (const auto& hud : ProgressHUD::allHUDsForView(view)) {
        if (hud->mode() == ProgressHUDMode::Text)
            texts << hud->labelText();
    }
    return texts;
}

std::shared_ptr<ui::Window> ShellTest::windowWith(const std::shared_ptr<ui::View>& view)
{
    auto window = ui::Window::create(ui::Screen::main().bounds());
    window->addSubview(view);
    window->makeKeyAndVisible();
    window->layoutIfNeeded();
    return window;
}

testing::AssertionResult ShellTest::sameRect(const ui::Rect& actual, const ui::Rect& expected)
{
    const double a[] = {actual.x(), actual.y(), actual.width(), actual.height()};
    const double e[] = {expected.x(), expected.y(), expected.width(), expected.height()};
    if (std::equal(a, a + 4, e, [](double x, double y) { return std::abs(x - y) <= 1e-6; }))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "frame (" << a[0] << ", " << a[1] << ", " << a[2] << ", " << a[3]
                                       << ") is not (" << e[0] << ", " << e[1] << ", " << e[2] << ", " << e[3] << ")";
}
