// A practice run of 200 questions, from the list reply to the last page built (every question
// text and option caption laid out), against QTextDocument laying out the same HTML alone at
// the same widths. The reply is served on loopback with the sample bank's question shapes;
// the clock starts when it has arrived, and the screen sits in a window, as in the app, so
// the window's layout passes count too.
#include "appbase/CommonUtil.h"
#include "appbase/ServerRequest.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Settings.h"
#include "platform/ui/Screen.h"
#include "platform/ui/WebView.h"
#include "platform/ui/Window.h"
#include "practice/ExamPage.h"
#include "practice/ExamStartViewController.h"
#include "practice/OptionBox.h"
#include "server/http/HttpRequest.h"
#include "server/http/HttpServer.h"
#include "server/http/Reply.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>

#include <ctime>
#include <thread>

namespace {

constexpr int kQuestions = 200;

// The sample bank's questions in the shape the server sends them, repeated to 200.
QJsonArray sampleReply()
{
    QFile file(QStringLiteral(":/qbank/seed/sample-bank.json"));
    file.open(QIODevice::ReadOnly);
    const QJsonArray bank = QJsonDocument::fromJson(file.readAll())
                                .object()["subjectTypes"].toArray()[0].toObject()["subjects"].toArray()[0]
                                .toObject()["questions"].toArray();
    QJsonArray reply;
    for (int i = 0; i < kQuestions; ++i) {
        const QJsonObject q = bank[i % bank.size()].toObject();
        QJsonArray options;
        const QJsonArray texts = q["options"].toArray();
        for (int o = 0; o < texts.size(); ++o)
            options.append(QJsonObject{{"orderby", o}, {"detail", texts[o]}});
        const QJsonObject sub{{"category", q["category"]}, {"detail", ""}, {"answer", q["answer"]}, {"examOptions", options}};
        reply.append(QJsonObject{{"code", q["code"]}, {"category", q["category"]}, {"detail", q["detail"]},
                                 {"score", q["score"]}, {"analyze", q["analyze"]}, {"smallExams", QJsonArray{sub}}});
    }
    return reply;
}

double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Pages load in order, so the check resumes where it stopped and costs little per call.
bool everythingLoaded(const ExamStartViewController& exam, int& next, double& textsMs, const QElapsedTimer& timer)
{
    if (!exam.viewGroup() || exam.pageCount() != kQuestions)
        return false;
    for (; next < exam.pageCount(); ++next) {
        if (!exam.examPage(next)->textLoaded())
            return false;
    }
    if (textsMs == 0)
        textsMs = timer.nsecsElapsed() / 1e6;
    for (int i = 0; i < exam.pageCount(); ++i) {
        auto page = exam.examPage(i);
        for (const auto& widget : page->widgets()) {
            for (const auto& child : widget->subviews()) {
                auto box = std::dynamic_pointer_cast<OptionBox>(child);
                if (box && box->title() && box->title()->isLoading())
                    return false;
            }
        }
    }
    return true;
}

// Lays `html` out at each width in turn, in one document; the first width comes before the
// HTML, so the page is laid out once at each.
void layOutAlone(const QString& html, std::initializer_list<double> widths)
{
    QTextDocument document;
    document.setTextWidth(*widths.begin());
    document.setHtml(html);
    benchmark::DoNotOptimize(document.size());
    for (auto width = widths.begin() + 1; width != widths.end(); ++width) {
        document.setTextWidth(*width);
        benchmark::DoNotOptimize(document.size());
    }
}

// Whether a sub-question of `category` shows options with captions.
bool hasCaptions(int category)
{
    return category == 0 || category == 1 || category == 5;
}

// The width each option caption of the run is shown at, in order: the screen measures a
// caption at OptionBox::kCaptionMeasureWidth, then lays it out again at the width it shows.
std::vector<double> shownCaptionWidths(const ExamStartViewController& exam)
{
    std::vector<double> widths;
    for (int i = 0; i < exam.pageCount(); ++i) {
        for (const auto& widget : exam.examPage(i)->widgets()) {
            for (const auto& child : widget->subviews()) {
                auto box = std::dynamic_pointer_cast<OptionBox>(child);
                if (box && box->title())
                    widths.push_back(box->title()->bounds().width());
            }
        }
    }
    return widths;
}

// The same HTML the run lays out, each at the widths its view lays it out at: every question
// text at its width, and each caption of the categories that show captions at the measuring
// width and then at the width it is shown at.
double layoutAlone(const QJsonArray& reply, double fontSize, const std::vector<double>& captionWidths, double* cpuMs = nullptr)
{
    const double cpuBefore = threadCpuMs();
    const double m = 10 / CommonUtil::getSystemScale() * CommonUtil::getScale();
    std::size_t caption = 0;
    QElapsedTimer timer;
    timer.start();
    for (const QJsonValue& value : reply) {
        layOutAlone(ExamPage::questionHtml(value.toObject(), fontSize), {CommonUtil::getSysWidth() - m});
        const QJsonObject sub = value["smallExams"][0].toObject();
        if (!hasCaptions(sub["category"].toInt()))
            continue;
        for (const QJsonValue& option : sub["examOptions"].toArray()) {
            const QString html = OptionBox::captionHtml(option["detail"].toString(), fontSize);
            const double shown = caption < captionWidths.size() ? captionWidths[caption] : OptionBox::kCaptionMeasureWidth;
            ++caption;
            if (shown == OptionBox::kCaptionMeasureWidth)
                layOutAlone(html, {OptionBox::kCaptionMeasureWidth});
            else
                layOutAlone(html, {OptionBox::kCaptionMeasureWidth, shown});
        }
    }
    if (cpuMs)
        *cpuMs = threadCpuMs() - cpuBefore;
    return timer.nsecsElapsed() / 1e6;
}

// The screen, with a clock that starts when the list reply has arrived.
class TimedExamStart : public ExamStartViewController {
public:
    static std::shared_ptr<TimedExamStart> create() { return std::shared_ptr<TimedExamStart>(new TimedExamStart); }

    void requestDidFinish(ServerRequest& request) override
    {
        if (request.tag() == ListTag) {
            replyTimer.start();
            replyCpuMs = threadCpuMs();
        }
        ExamStartViewController::requestDidFinish(request);
    }

    QElapsedTimer replyTimer;
    double replyCpuMs = 0;
};

void BM_PagesAgainstLayoutAlone(benchmark::State& state)
{
    const QJsonArray reply = sampleReply();
    const QByteArray body = QJsonDocument(reply).toJson(QJsonDocument::Compact);
    server::HttpServer replies(server::HttpLimits(), [&](const server::HttpRequest&) { return server::Reply::json(body); },
                              server::HttpServer::HandlerThreads::Network);
    QString error;
    if (!replies.listen(QStringLiteral("127.0.0.1"), 0, &error))
        qFatal("reply server: %s", qPrintable(error));
    replies.run();
    const int port = replies.port();
    qputenv(CommonUtil::kServiceUrlVariable, QStringLiteral("http://127.0.0.1:%1/PendarWeb/").arg(port).toUtf8());
    CommonUtil::setAccount(QJsonObject{{"code", "U1"}});
    CommonUtil::setSubjectCode(QStringLiteral("CB"));

    struct Run {
        double pagesMs = 0;
        double textsMs = 0;
        double aloneMs = 0;
        double cpuMs = 0;
        double measuredOnlyMs = 0;
        double pagesCpuMs = 0;
        double aloneCpuMs = 0;

        Run& operator+=(const Run& o)
        {
            pagesMs += o.pagesMs;
            textsMs += o.textsMs;
            aloneMs += o.aloneMs;
            cpuMs += o.cpuMs;
            measuredOnlyMs += o.measuredOnlyMs;
            pagesCpuMs += o.pagesCpuMs;
            aloneCpuMs += o.aloneCpuMs;
            return *this;
        }
    };
    // The two sides take turns going first, so neither always finds the caches warm. The
    // screen's text size comes from the settings, the same for every run.
    double fontSize = 0;
    std::vector<double> captionWidths;
    auto runOnce = [&](bool aloneFirst) {
        Run run;
        if (aloneFirst)
            run.aloneMs = layoutAlone(reply, fontSize, captionWidths, &run.aloneCpuMs);
        auto exam = TimedExamStart::create();
        exam->setType(0);
        exam->setData(QJsonObject{{"code", "P1"}, {"name", "卷"}});
        auto window = ui::Window::create(ui::Screen::main().bounds());
        window->setRootViewController(exam);
        window->makeKeyAndVisible();
        int next = 0;
        const double cpuBefore = threadCpuMs();
        core::RunLoop::main().runUntil([&] { return exam->replyTimer.isValid() && everythingLoaded(*exam, next, run.textsMs, exam->replyTimer); }, 120);
        run.pagesMs = exam->replyTimer.nsecsElapsed() / 1e6;
        run.cpuMs = threadCpuMs() - cpuBefore;
        run.pagesCpuMs = threadCpuMs() - exam->replyCpuMs;
        fontSize = exam->fontsize();
        captionWidths = shownCaptionWidths(*exam);
        if (!aloneFirst)
            run.aloneMs = layoutAlone(reply, fontSize, captionWidths, &run.aloneCpuMs);
        run.measuredOnlyMs = layoutAlone(reply, fontSize, {});
        exam->backClick(nullptr);
        window->setRootViewController(nullptr);
        window.reset();
        core::RunLoop::main().processPending();
        return run;
    };
    // A first run, not counted, loads what a process loads once (fonts, artwork, patterns).
    runOnce(false);

    Run total;
    bool aloneFirst = true;
    for (auto _ : state) {
        const Run run = runOnce(aloneFirst);
        aloneFirst = !aloneFirst;
        total += run;
        state.SetIterationTime(run.pagesMs / 1000);
    }
    const double n = double(state.iterations());
    state.counters["pages_ms"] = total.pagesMs / n;
    // When the last question text had loaded (its options' captions may still be loading).
    state.counters["texts_ms"] = total.textsMs / n;
    // The main thread's processor time over the run (from the request on): where it is well
    // under pages_ms, the run waited or the machine was busy.
    state.counters["cpu_ms"] = total.cpuMs / n;
    state.counters["alone_ms"] = total.aloneMs / n;
    state.counters["ratio"] = total.pagesMs / total.aloneMs;
    // Against a baseline that lays each caption out at the measuring width alone.
    state.counters["ratio_measured_only"] = total.pagesMs / total.measuredOnlyMs;
    // The same two sides in the main thread's processor time: on a shared machine, a thread
    // waiting for a processor stretches the longer side's clock time more than its own work.
    state.counters["cpu_ratio"] = total.pagesCpuMs / total.aloneCpuMs;
    replies.stop();
}
BENCHMARK(BM_PagesAgainstLayoutAlone)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(6);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QGuiApplication app(argc, argv);
    QTemporaryDir data;
    core::Settings::setDataFolder(data.path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
