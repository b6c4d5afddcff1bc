// Data shapes that once froze or killed the chart control, each drawn from a
// file to a BMP of 815 x 526 as a whole process (read the files,
// LoadCustomizingXml, LoadDataXml, ChartPicture, save the BMP), timed from
// start to exit with its peak memory; the target is under 1 s and 500 MB each.
//   long_text       a 100,000-character category, series name and title
//   broken_lines    100 series of 1,000 pieces each (every other value missing)
//   polar_3M        Polar, one series of 3,000,000 points
//   doughnut_100x1k Doughnut, 100 rings of 1,000 slices
//   scatter_100x5k  Scatter, 100 series of 5,000 points
//   area_unordered  Area, 2 series of 100,000 points at x values out of order
// A process still running after 60 s is stopped and reported as failed.
#include "render_process.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <random>

namespace {

struct Case {
    const char* name;
    const char* type;
    std::function<std::string()> data;
    std::string customizing; // empty: none
};

std::string seriesXml(const std::string& name, int count, const std::function<std::string(int)>& value)
{
    std::string xml = "<Series Name=\"" + name + "\">";
    for (int i = 0; i < count; ++i)
        xml += (i ? ";" : "") + value(i);
    return xml + "</Series>\n";
}

std::string manySeries(int series, int points, const std::function<std::string(int, int)>& value)
{
    std::string xml = "<ChartData>\n";
    for (int s = 0; s < series; ++s)
        xml += seriesXml("S" + std::to_string(s + 1), points, [&](int i) { return value(s, i); });
    return xml + "</ChartData>\n";
}

const std::string kLong(100000, 'x');

const Case kCases[] = {
    {"long_text", "Columns",
     [] {
         return "<ChartData><Categories><Category>" + kLong + "</Category><Category>B</Category></Categories>" +
                seriesXml(kLong, 2, [](int i) { return std::to_string(i + 1); }) + "</ChartData>\n";
     },
     "<Customizing><Title Caption=\"" + kLong + "\"/></Customizing>\n"},
    {"broken_lines", "Lines",
     [] {
         return manySeries(100, 2000, [](int s, int i) { return i % 2 ? std::string() : std::to_string(s + i % 9); });
     },
     ""},
    {"polar_3M", "Polar",
     [] {
         std::mt19937 random(7);
         return manySeries(1, 3000000, [&](int, int) { return std::to_string(random() % 1000); });
     },
     ""},
    {"doughnut_100x1k", "Doughnut",
     [] { return manySeries(100, 1000, [](int s, int i) { return std::to_string(1 + (s + i) % 50); }); }, ""},
    {"scatter_100x5k", "Scatter",
     [] {
         std::mt19937 random(11);
         return manySeries(100, 5000, [&](int, int) { return std::to_string(random() % 100000); });
     },
     ""},
    {"area_unordered", "Area",
     [] {
         std::mt19937 random(13);
         std::string x = "<X>";
         for (int i = 0; i < 100000; ++i)
             x += (i ? ";" : "") + std::to_string(random() % 1000000);
         const std::string head = "<ChartData>\n";
         const std::string series = manySeries(2, 100000, [&](int, int) { return std::to_string(random() % 100); });
         return head + x + "</X>\n" + series.substr(head.size());
     },
     ""},
};

QString g_self;
QTemporaryDir* g_dir = nullptr;

std::string path(const Case& c, const char* suffix)
{
    return g_dir->filePath(QLatin1String(c.name) + QLatin1String(suffix)).toStdString();
}

void write(const std::string& file, const std::string& text)
{
    QFile out(QString::fromStdString(file));
    out.open(QIODevice::WriteOnly);
    out.write(text.data(), qint64(text.size()));
}

void BM_BlowupProcess(benchmark::State& state)
{
    const Case& c = kCases[state.range(0)];
    state.SetLabel(c.name);
    std::vector<std::string> arguments = {g_self.toStdString(), "--render", path(c, ".xml"), c.type, path(c, ".bmp")};
    if (!c.customizing.empty())
        arguments.push_back(path(c, "_customizing.xml"));
    for (auto _ : state) {
        bench::report(state, bench::runProcess(arguments, g_dir->filePath(QStringLiteral("peak.txt")).toStdString()));
    }
}

} // namespace

BENCHMARK(BM_BlowupProcess)
    ->DenseRange(0, int(std::size(kCases)) - 1)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1 && qstrcmp(argv[1], "--render") == 0)
        return bench::renderMode(argc, argv);
    QCoreApplication app(argc, argv);
    g_self = QCoreApplication::applicationFilePath();
    QTemporaryDir dir;
    // Keep the inputs and pictures for a look when asked.
    dir.setAutoRemove(qEnvironmentVariableIsEmpty("VIZORB_BENCH_KEEP"));
    g_dir = &dir;
    for (const Case& c : kCases) {
        write(path(c, ".xml"), c.data());
        if (!c.customizing.empty())
            write(path(c, "_customizing.xml"), c.customizing);
    }
    std::printf("inputs in %s\n", qPrintable(dir.path()));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
