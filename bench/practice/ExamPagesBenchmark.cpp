// A practice run of 200 questions, from the list reply to the last page built (every question
// text and option caption laid out), against QTextDocument laying out the same HTML alone at
// the same widths. The reply is served on loopback with the sample bank's question shapes.
#include "appbase/CommonUtil.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Settings.h"
#include "platform/ui/WebView.h"
#include "practice/ExamPage.h"
#include "practice/ExamStartViewController.h"
#include "practice/OptionBox.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTextDocument>
#include <benchmark/benchmark.h>
#include <httplib.h>

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

// The same HTML the run lays out, each at the width its view has.
double layoutAlone(const QJsonArray& reply, double fontSize)
{
    const double m = 10 / CommonUtil::getSystemScale() * CommonUtil::getScale();
    QElapsedTimer timer;
    timer.start();
    for (const QJsonValue& value : reply) {
        QTextDocument question;
        question.setHtml(ExamPage::questionHtml(value.toObject(), fontSize));
        question.setTextWidth(CommonUtil::getSysWidth() - m);
        benchmark::DoNotOptimize(question.size());
        for (const QJsonValue& option : value["smallExams"][0]["examOptions"].toArray()) {
            QTextDocument caption;
            caption.setHtml(QStringLiteral("<style> body{margin:0;font-size:%1}</style>").arg(fontSize, 0, 'f', 6)
                            + option["detail"].toString());
            caption.setTextWidth(OptionBox::kCaptionMeasureWidth);
            benchmark::DoNotOptimize(caption.size());
        }
    }
    return timer.nsecsElapsed() / 1e6;
}

void BM_PagesAgainstLayoutAlone(benchmark::State& state)
{
    const QJsonArray reply = sampleReply();
    const std::string body = QJsonDocument(reply).toJson(QJsonDocument::Compact).toStdString();
    httplib::Server server;
    server.Post(".*", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "application/json");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread thread([&] { server.listen_after_bind(); });
    qputenv(CommonUtil::kServiceUrlVariable, QStringLiteral("http://127.0.0.1:%1/PendarWeb/").arg(port).toUtf8());
    CommonUtil::setAccount(QJsonObject{{"code", "U1"}});
    CommonUtil::setSubjectCode(QStringLiteral("CB"));

    double pagesMs = 0;
    double aloneMs = 0;
    double questionsMs = 0;
    for (auto _ : state) {
        auto exam = ExamStartViewController::create();
        exam->setType(0);
        exam->setData(QJsonObject{{"code", "P1"}, {"name", "卷"}});
        QElapsedTimer timer;
        timer.start();
        exam->view();
        // The list's round trip on loopback is part of the figure; it is well under a millisecond.
        int next = 0;
        double textsMs = 0;
        core::RunLoop::main().runUntil([&] { return everythingLoaded(*exam, next, textsMs, timer); }, 120);
        questionsMs += textsMs;
        const double ms = timer.nsecsElapsed() / 1e6;
        const double alone = layoutAlone(reply, exam->fontsize());
        pagesMs += ms;
        aloneMs += alone;
        state.SetIterationTime(ms / 1000);
        exam->backClick(nullptr);
        core::RunLoop::main().processPending();
    }
    state.counters["pages_ms"] = pagesMs / state.iterations();
    // When the last question text had loaded (its options' captions may still be loading).
    state.counters["texts_ms"] = questionsMs / state.iterations();
    state.counters["alone_ms"] = aloneMs / state.iterations();
    state.counters["ratio"] = pagesMs / aloneMs;
    server.stop();
    thread.join();
}
BENCHMARK(BM_PagesAgainstLayoutAlone)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

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
