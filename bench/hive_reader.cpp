// The registry's hive file at its largest: one 8 MB key name followed by
// 1.25 million value lines, 16.7 MB in all, just under the reader's cap. The
// program reads this file before its first window shows, so it must take
// well under a second.
#include "platform/registry.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr qsizetype kKeyNameBytes = 8'000'000;
constexpr qsizetype kValueLines = 1'250'000;

QByteArray longKeyManyValues()
{
    QByteArray text = "[HKEY_LOCAL_MACHINE\\" + QByteArray(kKeyNameBytes, 'k') + "]\n";
    text.reserve(text.size() + kValueLines * 7);
    for (qsizetype i = 0; i < kValueLines; ++i)
        text += "@=sz:x\n";
    return text;
}

void BM_HiveReader_LongKeyManyValues(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("plotwright.hive");
    const QByteArray text = longKeyManyValues();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        std::abort();
    file.close();
    for (auto _ : state) {
        std::shared_ptr<platform::Registry> registry = platform::Registry::fromFile(path);
        std::int32_t key = 0;
        // The file must have been accepted: its key opens.
        if (registry->openKey(platform::reg::HKEY_LOCAL_MACHINE, QByteArray(kKeyNameBytes, 'k'),
                              platform::reg::KEY_READ, key) != platform::reg::Success)
            std::abort();
        benchmark::DoNotOptimize(registry);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
    state.counters["file_MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_HiveReader_LongKeyManyValues)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

BENCHMARK_MAIN();
