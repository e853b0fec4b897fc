// What the client's real desktop window costs the processor while the user does nothing: on
// the home screen, on a practice page, on the login screen with the account field focused,
// and with a field redrawn twice a second (what a blinking caret asks for); and how many
// frames a page slide of the practice screen gets. CPU time is the whole process's user and
// system time (getrusage) over a stretch of the ordinary run loop; frames are the repaints
// the window receives. Run it on an X display (Xvfb will do):
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bin/bench_idle [seconds per scenario]
// Without a display it says so and skips. The server is a throw-away qbank-server process
// with the sample bank on a free loopback port, so that only the client is measured.
#include "appbase/CommonUtil.h"
#include "components/sidepanel/SidePanelController.h"
#include "platform/core/Dispatch.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Settings.h"
#include "platform/core/Timer.h"
#include "platform/ui/Application.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/TextView.h"
#include "platform/ui/TouchInjector.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowHost.h"
#include "practice/ExamPage.h"
#include "practice/ExamStartViewController.h"
#include "practice/PaperViewController.h"
#include "shell/MainViewController.h"
#include "shell/brevumAppDelegate.h"
#include "shell/account/FeedAndScroooViewController.h"
#include "shell/account/FeedViewController.h"
#include "shell/account/LoginViewController.h"
#include "shell/account/SystemViewController.h"
#include "tests/support/ViewSearch.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <sys/resource.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Counts the repaints of the window, each a frame put on the screen, and keeps when they came.
class FrameCounter : public QObject {
public:
    FrameCounter() { m_clock.start(); }
    int frames = 0;
    std::vector<double> times;   // seconds since the counter was made

    double now() const { return m_clock.nsecsElapsed() / 1e9; }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Expose) {
            ++frames;
            times.push_back(now());
        }
        return false;
    }

private:
    QElapsedTimer m_clock;
};

// Runs the ordinary run loop, sleeping where it sleeps, for `seconds` of real time.
void runFor(double seconds)
{
    core::afterDelay(seconds, [] { core::RunLoop::main().quit(); });
    core::RunLoop::main().run();
}

bool pumpUntil(const std::function<bool()>& done, double seconds = 15)
{
    return core::RunLoop::main().runUntil(done, seconds);
}

bool tapLabel(const std::shared_ptr<ui::View>& root, const QString& label)
{
    auto view = views::findByLabel(root, label);
    return view && ui::TouchInjector::tap(*view);
}

template<class Screen>
std::shared_ptr<Screen> presentedOver(const std::shared_ptr<ui::ViewController>& below)
{
    std::shared_ptr<Screen> screen;
    pumpUntil([&] {
        for (auto top = below->presentedViewController(); top && !screen; top = top->presentedViewController())
            screen = std::dynamic_pointer_cast<Screen>(top);
        return screen && screen->isAppeared();
    });
    return screen;
}

struct Figure {
    double cpuPercent;
    double framesPerSecond;
};

Figure measure(FrameCounter& counter, double seconds)
{
    const int frames = counter.frames;
    const double cpu = processCpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(seconds);
    const double elapsed = wall.nsecsElapsed() / 1e9;
    return {100 * (processCpuSeconds() - cpu) / elapsed, (counter.frames - frames) / elapsed};
}

void report(const char* scenario, const Figure& f)
{
    std::printf("%-44s %6.2f %% of a core   %6.1f frames/s\n", scenario, f.cpuPercent, f.framesPerSecond);
    std::fflush(stdout);
}

class ThrowAwayServer {
public:
    bool start()
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return false;
        const quint16 port = probe.serverPort();
        probe.close();
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral(QBANK_SERVER_BINARY),
                        {"--listen", QStringLiteral("127.0.0.1:%1").arg(port), "--db", m_dir.filePath("server.sqlite"),
                         "--seed", "sample"});
        if (!m_process.waitForStarted())
            return false;
        m_baseUrl = QStringLiteral("http://127.0.0.1:%1/PendarWeb/").arg(port);
        QTcpSocket socket;
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 20000) {
            socket.connectToHost(QHostAddress::LocalHost, port);
            if (socket.waitForConnected(200))
                return true;
            socket.abort();
            QThread::msleep(50);
        }
        return false;
    }
    ~ThrowAwayServer()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    QString baseUrl() const { return m_baseUrl; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_baseUrl;
};

// The login screen with its account field focused, as it is and redrawn as a caret blinks;
// then back home.
bool loginScenarios(FrameCounter& counter, const std::shared_ptr<SidePanelController>& container,
                    const std::shared_ptr<MainViewController>& home, double seconds)
{
    if (!tapLabel(home->view(), QStringLiteral("用户登陆")))
        return std::fprintf(stderr, "no login button\n"), false;
    auto login = presentedOver<LoginViewController>(container);
    if (!login || !ui::TouchInjector::tap(*login->account()) || !login->account()->isFirstResponder())
        return std::fprintf(stderr, "the account field did not take the focus\n"), false;
    runFor(2);
    report("login screen, account field focused", measure(counter, seconds));

    auto blink = core::Timer::scheduledTimer(0.5, true, [field = std::weak_ptr<ui::TextField>(login->account())](core::Timer&) {
        if (auto f = field.lock())
            f->setNeedsDisplay();
    });
    report("login screen, field redrawn twice a second", measure(counter, seconds));
    blink->invalidate();
    login->backClick(nullptr);
    return pumpUntil([&] { return !container->presentedViewController(); });
}

// The feedback form's remark, three lines written and the caret blinking at their end: each
// blink that redraws the whole text view lays its text out and draws it again.
bool feedbackScenario(FrameCounter& counter, const std::shared_ptr<SidePanelController>& container,
                      const std::shared_ptr<MainViewController>& home, double seconds)
{
    if (!tapLabel(home->view(), QStringLiteral("系统设置")))
        return std::fprintf(stderr, "no settings button\n"), false;
    auto settings = presentedOver<SystemViewController>(container);
    if (!settings || !tapLabel(settings->view(), QStringLiteral("反馈与评分")))
        return std::fprintf(stderr, "no feedback menu\n"), false;
    auto menu = presentedOver<FeedAndScroooViewController>(container);
    if (!menu || !tapLabel(menu->view(), QStringLiteral("用户反馈")))
        return std::fprintf(stderr, "no feedback form\n"), false;
    auto form = presentedOver<FeedViewController>(container);
    if (!form)
        return std::fprintf(stderr, "the feedback form did not open\n"), false;
    form->remark()->setText(QStringLiteral("第三章的第二道题答案似乎有误，解析里说的是选项B，"
                                           "可是题目的图里标的是选项C。另外第五题的图片在小屏幕上看不清楚，"
                                           "希望能放大一些。谢谢！"));
    if (!ui::TouchInjector::tap(*form->remark()) || !form->remark()->isFirstResponder())
        return std::fprintf(stderr, "the remark did not take the focus\n"), false;
    runFor(2);
    report("feedback form, caret blinking after its text", measure(counter, seconds));
    // Back home, one screen at a time, each back once the screen below has appeared again.
    form->backClick(nullptr);
    pumpUntil([&] { return menu->isAppeared(); });
    menu->backClick(nullptr);
    pumpUntil([&] { return settings->isAppeared(); });
    settings->backClick(nullptr);
    return pumpUntil([&] { return !container->presentedViewController(); });
}

// Page slides one after the other, each the paging scroll view's settling motion. The rate is
// that of the frames from the first to the last of each slide.
Figure measureSlides(FrameCounter& counter, ui::ScrollView& pages)
{
    QElapsedTimer sliding;
    sliding.start();
    const double cpuBefore = processCpuSeconds();
    int slideFrames = 0;
    double slideSeconds = 0;
    for (int i = 0; i < 10; ++i) {
        const double x = (i % 2 == 0) ? pages.frame().width() : 0;
        const double start = counter.now();
        const std::size_t first = counter.times.size();
        pages.setContentOffset(ui::Point(x, 0), true);
        pumpUntil([&] { return pages.contentOffset().x == x; }, 5);
        const double end = counter.now();
        std::vector<double> during;
        for (std::size_t f = first; f < counter.times.size(); ++f) {
            if (counter.times[f] >= start && counter.times[f] <= end)
                during.push_back(counter.times[f]);
        }
        if (during.size() > 1) {
            slideFrames += int(during.size()) - 1;
            slideSeconds += during.back() - during.front();
        }
        runFor(0.1);
    }
    return {100 * (processCpuSeconds() - cpuBefore) / (sliding.nsecsElapsed() / 1e9),
            slideSeconds > 0 ? slideFrames / slideSeconds : 0};
}

// The first past paper's first question, at rest and sliding to the next and back.
bool practiceScenarios(FrameCounter& counter, const std::shared_ptr<SidePanelController>& container,
                       const std::shared_ptr<MainViewController>& home, double seconds)
{
    if (!tapLabel(home->view(), QStringLiteral("历年真题")))
        return std::fprintf(stderr, "no past papers button\n"), false;
    auto papers = presentedOver<PaperViewController>(container);
    const QString paper = QStringLiteral("计算机基础历年真题（一）");
    if (!papers || !pumpUntil([&] { return papers->tableView() && tapLabel(std::static_pointer_cast<ui::View>(papers->tableView()), paper); }))
        return std::fprintf(stderr, "no paper list\n"), false;
    auto exam = presentedOver<ExamStartViewController>(papers);
    if (!exam || !pumpUntil([&] { return exam->pageCount() > 1 && exam->examPage(0)->textLoaded(); }))
        return std::fprintf(stderr, "no practice page\n"), false;
    runFor(2);
    report("practice page, idle", measure(counter, seconds));
    report("practice page, sliding", measureSlides(counter, *exam->viewGroup()));
    return true;
}

int run(double seconds)
{
    ThrowAwayServer server;
    if (!server.start()) {
        std::fprintf(stderr, "the throw-away server did not start\n");
        return 1;
    }
    qputenv(CommonUtil::kServiceUrlVariable, server.baseUrl().toUtf8());
    QTemporaryDir data;
    core::Settings::setDataFolder(data.path());
    CommonUtil::setSubjectCode(QStringLiteral("CB"));   // the sample bank's computer basics
    CommonUtil::saveData();

    auto delegate = brevumAppDelegate::create();
    ui::Application::shared().setDelegate(delegate);
    ui::Application::shared().finishLaunching();
    auto window = delegate->window();
    ui::WindowHost host(window);
    FrameCounter counter;
    host.installEventFilter(&counter);
    host.show();

    std::shared_ptr<MainViewController> home;
    std::shared_ptr<SidePanelController> container;
    pumpUntil([&] {
        container = std::dynamic_pointer_cast<SidePanelController>(window->rootViewController());
        home = container ? std::dynamic_pointer_cast<MainViewController>(container->centerController()) : nullptr;
        return home && home->isAppeared() && CommonUtil::getAccount().has_value();
    });
    if (!home) {
        std::fprintf(stderr, "the home screen did not appear\n");
        return 1;
    }
    runFor(2);   // toasts and first animations end
    report("home screen, idle", measure(counter, seconds));
    const bool ok = loginScenarios(counter, container, home, seconds) && feedbackScenario(counter, container, home, seconds)
        && practiceScenarios(counter, container, home, seconds);
    host.hide();
    ui::Application::shared().terminate();
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("bench_idle: no X display; skipped (run it under xvfb-run)\n");
        return 0;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    qputenv("QBANK_RESOURCES", QBANK_RESOURCE_DIR);
    QGuiApplication app(argc, argv);
    const double seconds = argc > 1 ? std::max(1.0, QString::fromLocal8Bit(argv[1]).toDouble()) : 10.0;
    const int code = run(seconds);
    ui::Application::shared().tearDown();
    return code;
}
