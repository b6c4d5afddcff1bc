// From a data file on disk to a BMP of 815 x 526, as whole processes:
//   (a) 10 series x 10,000 points as lines
//   (b) 1 series x 100,000 points as lines
//   (c) 1 series x 1,000,000 points as a scatter
//   (d, e) 4 series x 2,000 points as columns, and the same data as lines
//   (f, g) 1 series x 1,000,000 points as columns, and the same as lines
// The control's process is this program started again in its render mode
// (read the file, LoadDataXml, ChartPicture, save the BMP); beside it, in the
// same run, gnuplot draws the same points with pngcairo at the same size.
// Each process is timed from start to exit (wall clock, and its CPU time),
// with its peak memory. The in-process benchmarks time LoadDataXml plus the first render
// alone, without process start.
#include "render_process.h"

#include "vizorb/chart/chart_view.h"
#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include "platform/picture.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <iterator>
#include <random>

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

struct Case {
    const char* name;
    int series;
    int points;
    const char* type;
    bool scatter() const { return qstrcmp(type, "Scatter") == 0; }
    bool columns() const { return qstrcmp(type, "Columns") == 0; }
};
const Case kCases[] = {{"a_10x10k_lines", 10, 10000, "Lines"},    {"b_1x100k_lines", 1, 100000, "Lines"},
                       {"c_1x1M_scatter", 1, 1000000, "Scatter"}, {"d_4x2k_columns", 4, 2000, "Columns"},
                       {"e_4x2k_lines", 4, 2000, "Lines"},        {"f_1x1M_columns", 1, 1000000, "Columns"},
                       {"g_1x1M_lines", 1, 1000000, "Lines"}};
constexpr int kLastCase = int(std::size(kCases)) - 1;

QString g_self;
QTemporaryDir* g_dir = nullptr;

QString path(const Case& c, const char* suffix)
{
    return g_dir->filePath(QLatin1String(c.name) + QLatin1String(suffix));
}

// Random walks for lines and columns (the same walks for the same sizes), a
// cloud for the scatter; the same numbers in our XML and in gnuplot's columns.
void writeInputs(const Case& c)
{
    std::mt19937_64 random(42);
    std::normal_distribution<double> step(0.0, 1.0);
    std::vector<std::vector<double>> y(c.series, std::vector<double>(c.points));
    std::vector<double> x(c.points);
    for (int s = 0; s < c.series; ++s) {
        double v = s * 10;
        for (int i = 0; i < c.points; ++i) {
            if (c.scatter()) {
                x[i] = step(random) * 10;
                y[s][i] = x[i] * 0.5 + step(random) * 4;
            } else {
                v += step(random);
                y[s][i] = v;
            }
        }
    }
    auto number = [](double v) {
        char buffer[32];
        return std::string(buffer, std::snprintf(buffer, sizeof buffer, "%.6g", v));
    };
    std::string xml = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<ChartData>\n";
    if (c.scatter()) {
        xml += "<X>";
        for (int i = 0; i < c.points; ++i)
            xml += (i ? ";" : "") + number(x[i]);
        xml += "</X>\n";
    }
    for (int s = 0; s < c.series; ++s) {
        xml += "<Series Name=\"S" + std::to_string(s + 1) + "\">";
        for (int i = 0; i < c.points; ++i)
            xml += (i ? ";" : "") + number(y[s][i]);
        xml += "</Series>\n";
    }
    xml += "</ChartData>\n";
    std::string columns;
    for (int i = 0; i < c.points; ++i) {
        if (c.scatter())
            columns += number(x[i]) + ' ';
        for (int s = 0; s < c.series; ++s)
            columns += number(y[s][i]) + (s + 1 < c.series ? " " : "");
        columns += '\n';
    }
    QFile xmlFile(path(c, ".xml")), datFile(path(c, ".dat")), plotFile(path(c, ".gp"));
    xmlFile.open(QIODevice::WriteOnly);
    xmlFile.write(xml.data(), qint64(xml.size()));
    datFile.open(QIODevice::WriteOnly);
    datFile.write(columns.data(), qint64(columns.size()));
    const QString script =
        QStringLiteral("set terminal pngcairo size 815,526\nset output '%1'\n").arg(path(c, "_gnuplot.png")) +
        (c.scatter() ? QStringLiteral("plot '%1' using 1:2 with points pt 7 ps 0.4 title 'S1'\n").arg(path(c, ".dat"))
         : c.columns()
             ? QStringLiteral("set style data histograms\nset style histogram clustered\nset style fill solid\n"
                              "plot for [i=1:%2] '%1' using i title sprintf('S%d', i)\n")
                   .arg(path(c, ".dat"))
                   .arg(c.series)
             : QStringLiteral("plot for [i=1:%2] '%1' using 0:i with lines title sprintf('S%d', i)\n")
                   .arg(path(c, ".dat"))
                   .arg(c.series));
    plotFile.open(QIODevice::WriteOnly);
    plotFile.write(script.toUtf8());
}

using bench::ProcessRun;

ProcessRun runProcess(std::vector<std::string> arguments)
{
    return bench::runProcess(std::move(arguments), g_dir->filePath(QStringLiteral("peak.txt")).toStdString());
}

void BM_ControlProcess(benchmark::State& state)
{
    const Case& c = kCases[state.range(0)];
    state.SetLabel(c.name);
    for (auto _ : state)
        bench::report(state, runProcess({g_self.toStdString(), "--render", path(c, ".xml").toStdString(), c.type,
                                         path(c, "_vizorb.bmp").toStdString()}));
}

void BM_GnuplotProcess(benchmark::State& state)
{
    const Case& c = kCases[state.range(0)];
    state.SetLabel(c.name);
    for (auto _ : state)
        bench::report(state, runProcess({"gnuplot", path(c, ".gp").toStdString()}));
}

void BM_ControlInProcess(benchmark::State& state)
{
    const Case& c = kCases[state.range(0)];
    state.SetLabel(c.name);
    QFile file(path(c, ".xml"));
    file.open(QIODevice::ReadOnly);
    const QString text = QString::fromLatin1(file.readAll());
    for (auto _ : state) {
        vizorb::VizorbControl control(QStringLiteral("7.00"));
        control.widget()->resize(815, 526);
        control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(c.type)});
        const auto start = std::chrono::steady_clock::now();
        const bool loaded = control.get(id::LoadDataXml, {Variant(text)}).toBoolean();
        const QImage image = control.get(id::ChartPicture).toObjectOf<platform::Picture>()->image();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (!loaded || image.size() != QSize(815, 526))
            state.SkipWithError("no picture");
        else if (!control.view().hintText().isEmpty())
            state.SkipWithError("a hint, not the chart");
    }
}

} // namespace

BENCHMARK(BM_ControlProcess)->DenseRange(0, kLastCase)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GnuplotProcess)->DenseRange(0, kLastCase)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ControlInProcess)->DenseRange(0, kLastCase)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && qstrcmp(argv[1], "--render") == 0)
        return bench::renderMode(argc, argv);
    QApplication app(argc, argv);
    g_self = QCoreApplication::applicationFilePath();
    QTemporaryDir dir;
    // Keep the pictures for a look when asked.
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("VIZORB_BENCH_KEEP"));
    g_dir = &dir;
    for (const Case& c : kCases)
        writeInputs(c);
    std::printf("inputs in %s\n", qPrintable(dir.path()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
