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
#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include "platform/picture.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

using platform::Variant;
namespace id = vizorb::dispid;

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

struct Run {
    double seconds = 0;
    double peakMegabytes = 0;
    bool ok = false;
};

// Started through /usr/bin/time, whose own small size keeps the peak it
// reports the program's own; in a process group of its own, so a run past the
// limit can be stopped whole.
Run runProcess(std::vector<std::string> arguments)
{
    const std::string memoryFile = g_dir->filePath(QStringLiteral("peak.txt")).toStdString();
    arguments.insert(arguments.begin(), {"/usr/bin/time", "-f", "%M", "-o", memoryFile});
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    Run run;
    const bool spawned = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ) == 0;
    posix_spawnattr_destroy(&attributes);
    if (!spawned)
        return run;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() - start > std::chrono::seconds(60)) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    QFile peak(QString::fromStdString(memoryFile));
    if (peak.open(QIODevice::ReadOnly))
        run.peakMegabytes = peak.readAll().simplified().toDouble() / 1024.0;
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return run;
}

void BM_BlowupProcess(benchmark::State& state)
{
    const Case& c = kCases[state.range(0)];
    state.SetLabel(c.name);
    std::vector<std::string> arguments = {g_self.toStdString(), "--render", path(c, ".xml"), c.type, path(c, ".bmp")};
    if (!c.customizing.empty())
        arguments.push_back(path(c, "_customizing.xml"));
    for (auto _ : state) {
        const Run run = runProcess(arguments);
        state.SetIterationTime(run.seconds);
        state.counters["seconds"] = run.seconds;
        state.counters["peak_MB"] = run.peakMegabytes;
        if (!run.ok)
            state.SkipWithError("the process failed or ran past 60 s");
    }
}

QString readLatin1(const char* file)
{
    QFile in(QString::fromLocal8Bit(file));
    return in.open(QIODevice::ReadOnly) ? QString::fromLatin1(in.readAll()) : QString();
}

// The control's process: files to BMP, nothing else.
int renderMode(int argc, char** argv)
{
    if (argc != 5 && argc != 6)
        return 2;
    QApplication app(argc, argv);
    vizorb::VizorbControl control(QStringLiteral("7.00"));
    control.widget()->resize(815, 526);
    if (argc == 6 && !control.get(id::LoadCustomizingXml, {Variant(readLatin1(argv[5]))}).toBoolean())
        return 3;
    control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(argv[3])});
    if (!control.get(id::LoadDataXml, {Variant(readLatin1(argv[2]))}).toBoolean())
        return 4;
    const auto picture = control.get(id::ChartPicture).toObjectOf<platform::Picture>();
    if (picture->image().size() != QSize(815, 526))
        return 5;
    platform::savePicture(*picture, QString::fromLocal8Bit(argv[4]));
    return 0;
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
        return renderMode(argc, argv);
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
