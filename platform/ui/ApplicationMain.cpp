#include "platform/ui/ApplicationMain.h"

#include "platform/core/Clock.h"
#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"

#include <QGuiApplication>
#include <QStringList>

namespace ui {

namespace {

// How long the loop runs before a screenshot is taken: long enough for start-up work posted
// or delayed by a few milliseconds and for a modal transition to settle.
constexpr double kScreenshotSettleSeconds = 0.5;

QString screenshotPath(const QStringList& args)
{
    for (int i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screenshot") && i + 1 < args.size())
            return args[i + 1];
        if (args[i].startsWith(QLatin1String("--screenshot=")))
            return args[i].mid(int(sizeof("--screenshot=")) - 1);
    }
    return QString();
}

bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int writeScreenshot(const QString& path)
{
    // Under a test's manual clock time moves only when the test says so: one turn, no waiting.
    if (core::Clock::isManual())
        core::RunLoop::main().processPending();
    else
        core::RunLoop::main().runUntil([] { return false; }, kScreenshotSettleSeconds);
    auto window = Application::shared().keyWindow();
    if (!window) {
        core::log(QStringLiteral("Application"), QStringLiteral("no key window to take a screenshot of"));
        return 1;
    }
    const bool ok = Renderer::writePng(window->renderImage(), path);
    if (!ok)
        core::log(QStringLiteral("Application"), QStringLiteral("could not write the screenshot to %1").arg(path));
    return ok ? 0 : 1;
}

} // namespace

int applicationMain(int argc, char** argv, const std::function<std::shared_ptr<ApplicationDelegate>()>& delegateFactory)
{
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString screenshot = screenshotPath(args);

    static int qtArgc = 0;
    std::unique_ptr<QGuiApplication> qtApp;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && (!screenshot.isEmpty() || !hasDisplay()))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        qtArgc = argc;
        qtApp = std::make_unique<QGuiApplication>(qtArgc, argv);
    }
    if (!Screen::applyArguments(args)) {
        core::log(QStringLiteral("Application"), QStringLiteral("malformed --screen option; expected WxH@S"));
        return 2;
    }

    Application& application = Application::shared();
    application.setDelegate(delegateFactory ? delegateFactory() : nullptr);
    application.finishLaunching();

    int code = 0;
    if (!screenshot.isEmpty()) {
        code = writeScreenshot(screenshot);
    } else if (auto window = application.keyWindow()) {
        WindowHost host(window);
        host.show();
        code = core::RunLoop::main().run();
    } else {
        core::log(QStringLiteral("Application"), QStringLiteral("the delegate made no key window"));
        code = 1;
    }
    application.terminate();
    application.tearDown();
    return code;
}

} // namespace ui
