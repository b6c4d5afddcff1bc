// The wizard with very many series, as the program uses it: the panel is open
// at step 1 when the data arrives, then each step is shown in turn.
//   (a) 100,000 series of one value
//   (b) 100,000 series of three values
//   (c) 1 series of 1,000,000 values
//   (d) 1 series of 20,000,000 values, the most data the control takes
// Each case runs in a process of its own (this program started again), so its
// peak memory is its own: the panel's high-water mark (VmHWM) is reported
// beside the time to load the data and to show and paint each step.
#include "vizorb/model/chart_model.h"
#include "vizorb/wizard/wizard_panel.h"

#include <QApplication>
#include <QFile>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <string>

namespace {

struct Case {
    const char* name;
    int series;
    int points;
};
const Case kCases[] = {{"a_100k_series_x1", 100000, 1},
                       {"b_100k_series_x3", 100000, 3},
                       {"c_1_series_x1M", 1, 1000000},
                       {"d_1_series_x20M", 1, 20000000}};
constexpr int kSteps = 6;

QString g_self;

double peakMegabytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// One case: prints the load time, each step's time and the peak in MB.
int caseMode(int argc, char** argv)
{
    QApplication app(argc, argv);
    const Case& c = kCases[std::atoi(argv[2])];
    vizorb::ChartData data;
    data.series.reserve(c.series);
    for (int s = 0; s < c.series; ++s) {
        vizorb::Series series{QStringLiteral("Series %1").arg(s + 1), QVector<double>(c.points)};
        for (int i = 0; i < c.points; ++i)
            series.values[i] = (s + 1) * 0.5 + i * 1.25;
        data.series.append(std::move(series));
    }
    vizorb::ChartModel model;
    vizorb::WizardPanel panel(model);
    panel.resize(360, 498);
    panel.show();
    panel.goToStep(1);
    QCoreApplication::processEvents();

    using Clock = std::chrono::steady_clock;
    auto seconds = [](Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); };
    auto start = Clock::now();
    model.setData(std::move(data));
    QCoreApplication::processEvents();
    (void)panel.grab();
    std::printf("%f", seconds(start));
    for (int step = 1; step <= kSteps; ++step) {
        start = Clock::now();
        panel.goToStep(step);
        QCoreApplication::processEvents();
        (void)panel.grab();
        std::printf(" %f", seconds(start));
    }
    std::printf(" %f\n", peakMegabytes());
    return 0;
}

void BM_Wizard(benchmark::State& state)
{
    const Case& c = kCases[state.range(0)];
    state.SetLabel(c.name);
    for (auto _ : state) {
        const std::string command =
            "'" + g_self.toStdString() + "' --case " + std::to_string(state.range(0)) + " 2>/dev/null";
        FILE* child = popen(command.c_str(), "r");
        double figures[kSteps + 2] = {};
        int read = 0;
        while (child && read < kSteps + 2 && std::fscanf(child, "%lf", &figures[read]) == 1)
            ++read;
        const int status = child ? pclose(child) : -1;
        if (read != kSteps + 2 || status != 0) {
            state.SkipWithError("the case's process failed");
            return;
        }
        double total = 0;
        for (int i = 0; i <= kSteps; ++i)
            total += figures[i];
        state.SetIterationTime(total);
        state.counters["load_s"] = figures[0];
        for (int step = 1; step <= kSteps; ++step)
            state.counters["step" + std::to_string(step) + "_s"] = figures[step];
        state.counters["peak_MB"] = figures[kSteps + 1];
    }
}
BENCHMARK(BM_Wizard)
    ->DenseRange(0, int(std::size(kCases)) - 1)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 2 && qstrcmp(argv[1], "--case") == 0)
        return caseMode(argc, argv);
    QApplication app(argc, argv);
    g_self = QCoreApplication::applicationFilePath();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
