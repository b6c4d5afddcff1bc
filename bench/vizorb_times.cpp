// A million times in a data text, with and without a zone. A time without a
// zone is UTC and read by hand, as one with "Z" is: both take alike, whatever
// the machine's zone (run it under TZ=Europe/Berlin, or with TZ unset).
#include "vizorb/xml/data_xml.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

constexpr int kTimes = 1'000'000;

QString timesText(bool zone)
{
    QString text = QStringLiteral("<ChartData><Times>");
    text.reserve(kTimes * 21 + 64);
    for (int i = 0; i < kTimes; ++i) {
        if (i > 0)
            text += QLatin1Char(';');
        // Times a minute apart, each day of the months March to November.
        text += QStringLiteral("2024-%1-%2T%3:%4:00")
                    .arg(3 + i / 43'200 % 9, 2, 10, QLatin1Char('0'))
                    .arg(1 + i / 1440 % 28, 2, 10, QLatin1Char('0'))
                    .arg(i / 60 % 24, 2, 10, QLatin1Char('0'))
                    .arg(i % 60, 2, 10, QLatin1Char('0'));
        if (zone)
            text += QLatin1Char('Z');
    }
    text += QStringLiteral("</Times></ChartData>");
    return text;
}

void BM_LoadTimes(benchmark::State& state)
{
    const QString text = timesText(state.range(0) != 0);
    for (auto _ : state) {
        vizorb::ChartData data;
        QString error;
        if (!vizorb::readDataXml(text, &data, &error) || data.times.size() != kTimes)
            std::abort();
        benchmark::DoNotOptimize(data);
    }
    state.SetItemsProcessed(state.iterations() * kTimes);
}
BENCHMARK(BM_LoadTimes)->ArgName("zone")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
