// What a first sign-in costs in processor time: one full derivation at the stored
// iteration count (a remembered password skips it), alone and with several at once,
// and what an unknown name pays. Compare before and after a change of the key
// derivation; the machine's load moves these figures, so run them side by side.
#include "server/signin/PasswordDigest.h"

#include <benchmark/benchmark.h>

using namespace server;

namespace {

const QString kSalt = QStringLiteral("00112233445566778899aabbccddeeff");

void FullDerivation(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(PasswordDigest::derive(QStringLiteral("first-sign-in"), kSalt, PasswordDigest::kIterations));
}

void WrongPasswordAtTheOldCount(benchmark::State& state)
{
    const QString stored = PasswordDigest::derive(QStringLiteral("right"), kSalt, PasswordDigest::kLegacyIterations);
    for (auto _ : state)
        benchmark::DoNotOptimize(PasswordDigest::matches(QStringLiteral("wrong"), kSalt, stored));
}

void UnknownName(benchmark::State& state)
{
    for (auto _ : state)
        PasswordDigest::spendCheckTime(QStringLiteral("guess"));
}

} // namespace

BENCHMARK(FullDerivation)->Unit(benchmark::kMillisecond)->Iterations(20)->UseRealTime();
BENCHMARK(FullDerivation)->Unit(benchmark::kMillisecond)->Iterations(10)->Threads(4)->UseRealTime();
BENCHMARK(WrongPasswordAtTheOldCount)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(UnknownName)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

BENCHMARK_MAIN();
