// The hot paths of the core: scheduling and cancelling run-loop tasks (every timer, delayed
// perform and animation frame goes through them), stepping a manual clock through many timers,
// and reading records.
#include "platform/core/Dispatch.h"
#include "platform/core/FormBody.h"
#include "platform/core/ManualClock.h"
#include "platform/core/Record.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Timer.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <benchmark/benchmark.h>

#include <vector>

static void ScheduleAndCancel(benchmark::State& state)
{
    auto& loop = core::RunLoop::main();
    const auto n = static_cast<int>(state.range(0));
    std::vector<core::RunLoop::TaskId> ids(n);
    for (auto _ : state) {
        for (int i = 0; i < n; ++i)
            ids[i] = loop.schedule(1.0 + i * 0.001, [] {});
        for (auto id : ids)
            loop.cancel(id);
    }
    state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(ScheduleAndCancel)->Arg(100)->Arg(10000);

static void AdvanceThroughRepeatingTimers(benchmark::State& state)
{
    core::ManualClock clock;
    const auto n = static_cast<int>(state.range(0));
    long long fired = 0;
    std::vector<std::shared_ptr<core::Timer>> timers;
    for (int i = 0; i < n; ++i)
        timers.push_back(core::Timer::scheduledTimer(1.0 / 60 + i * 1e-6, true, [&](core::Timer&) { ++fired; }));
    for (auto _ : state)
        clock.advance(1.0);   // about 60 fires per timer
    state.SetItemsProcessed(fired);
    for (auto& t : timers)
        t->invalidate();
}
BENCHMARK(AdvanceThroughRepeatingTimers)->Arg(10)->Arg(200);

static void AfterWithOwnerThenCancelAll(benchmark::State& state)
{
    auto owner = std::make_shared<int>(0);
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i)
            core::after(0.5, owner, [] {});
        core::cancelAll(owner.get());
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(AfterWithOwnerThenCancelAll);

static void ParseAndReadQuestionList(benchmark::State& state)
{
    QJsonArray list;
    for (int i = 0; i < 200; ++i)
        list.append(QJsonObject{{"code", QString::number(i)}, {"category", i % 7}, {"score", "2"},
                                {"detail", "<p>题干</p>"}, {"TChapter", QJsonObject{{"name", "章"}}}});
    const QByteArray bytes = QJsonDocument(list).toJson(QJsonDocument::Compact);
    for (auto _ : state) {
        auto parsed = core::Record::parse(bytes);
        int sum = 0;
        for (const QJsonValue q : parsed->toArray())
            sum += core::Record::intValue(q["category"]) + core::Record::stringValue(
                                                                 core::Record::value(q, {"TChapter", "name"})).size();
        benchmark::DoNotOptimize(sum);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(ParseAndReadQuestionList);

static void EncodeFormBody(benchmark::State& state)
{
    for (auto _ : state) {
        core::FormBody body{{"user_code", "a1b2c3"}, {"content", "我的反馈 & 意见 = 100%"}, {"subjectCode", "S1"}};
        benchmark::DoNotOptimize(body.encoded());
    }
}
BENCHMARK(EncodeFormBody);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
