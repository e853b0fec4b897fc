#include "platform/ui/ApplicationMain.h"

#include "platform/core/Clock.h"
#include "platform/core/Log.h"
#include "platform/core/RunLoop.h"
#include "platform/core/UrlConnection.h"
#include "platform/ui/Application.h"
#include "platform/ui/ApplicationDelegate.h"
#include "platform/ui/Layer.h"
#include "platform/ui/Renderer.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"

#include <QGuiApplication>
#include <QStringList>

#include <cmath>
#include <limits>

namespace ui {

namespace {

// One frame at 60 Hz: work due sooner than this would still change the next frame.
constexpr double kFrameSeconds = 1.0 / 60;
// The longest a screenshot waits for the screen to settle: a server that never answers or an
// endless chain of short timers must not hold the program forever.
constexpr double kScreenshotCapSeconds = 3.0;
constexpr double kBackstopCheckSeconds = 0.25;

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

// Settled: nothing the screen still waits for would change what it shows in the next frame.
// Everything else that could unsettle it wakes the run loop (replies, posted work, tasks), but
// time passing does not: an animation still running gets a task at its end, so that the wait
// sleeps until then instead of polling. An animation nobody can see (the side panel's shadow
// fading in under the opaque centre) is not waited for.
class Settling {
public:
    ~Settling()
    {
        if (m_wake)
            core::RunLoop::main().cancel(m_wake);
    }

    bool isSettled()
    {
        if (core::UrlConnection::runningCount() > 0)
            return false;
        const double now = core::Clock::now();
        if (core::RunLoop::main().nextWorkTime() <= now + kFrameSeconds)
            return false;
        const auto window = Application::shared().keyWindow();
        const double end = window ? Renderer::lastVisibleAnimationEnd(*window->layer(), window->bounds().size, now)
                                  : -std::numeric_limits<double>::infinity();
        if (!std::isfinite(end))
            return true;
        wakeAt(end);
        return false;
    }

private:
    void wakeAt(double end)
    {
        auto& loop = core::RunLoop::main();
        if (m_wake && loop.isScheduled(m_wake) && loop.dueTime(m_wake) == end)
            return;
        if (m_wake)
            loop.cancel(m_wake);
        m_wake = loop.scheduleAt(end, [] {});
    }

    core::RunLoop::TaskId m_wake = 0;
};

void settleForScreenshot()
{
    // Under a test's manual clock time moves only when the test says so: one turn, no waiting.
    if (core::Clock::isManual()) {
        core::RunLoop::main().processPending();
        return;
    }
    Settling settling;
    // The slow check is only a backstop for a change that arrives without waking the loop.
    if (!core::RunLoop::main().runUntil([&settling] { return settling.isSettled(); }, kScreenshotCapSeconds,
                                        kBackstopCheckSeconds))
        core::log(QStringLiteral("Application"),
                  QStringLiteral("the screen did not settle within %1 s; taking the screenshot as it is").arg(kScreenshotCapSeconds));
}

int writeScreenshot(const QString& path)
{
    settleForScreenshot();
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
