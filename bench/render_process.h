#pragma once

// What the process benchmarks share: running a program as a whole process,
// timed from start to exit with its peak memory and CPU time, and the
// chart control's own process (files to a BMP, nothing else), which a
// benchmark program starts as itself with "--render".

#include "vizorb/control.h"
#include "vizorb/dispids.h"

#include "platform/picture.h"

#include <QApplication>
#include <QFile>
#include <QString>

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace bench {

struct ProcessRun {
    double seconds = 0;
    double peakMegabytes = 0;
    double cpuSeconds = 0; // user and system: less swayed by a busy machine than the wall clock
    int status = -1;       // the exit code; -1 when killed, stopped or never started
};

// Started through /usr/bin/time, whose own small size keeps the peak it
// reports the program's own (a child spawned straight from this process
// would inherit this process's high-water mark); in a process group of its
// own, so that a run past `limit` is stopped whole. `memoryFile` is where
// /usr/bin/time writes its figures.
inline ProcessRun runProcess(std::vector<std::string> arguments, const std::string& memoryFile,
                             std::chrono::seconds limit = std::chrono::seconds(60))
{
    arguments.insert(arguments.begin(), {"/usr/bin/time", "-f", "%M %U %S", "-o", memoryFile});
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
    ProcessRun run;
    const bool spawned = posix_spawnp(&pid, argv[0], nullptr, &attributes, argv.data(), environ) == 0;
    posix_spawnattr_destroy(&attributes);
    if (!spawned)
        return run;
    int status = 0;
    bool stopped = false;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() - start > limit) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            stopped = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    QFile figures(QString::fromStdString(memoryFile));
    if (figures.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = figures.readAll().simplified().split(' ');
        run.peakMegabytes = fields.value(0).toDouble() / 1024.0;
        run.cpuSeconds = fields.value(1).toDouble() + fields.value(2).toDouble();
    }
    run.status = !stopped && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

// One run's figures as the benchmark's time and counters.
inline void report(benchmark::State& state, const ProcessRun& run)
{
    state.SetIterationTime(run.seconds);
    state.counters["seconds"] = run.seconds;
    state.counters["peak_MB"] = run.peakMegabytes;
    state.counters["cpu_s"] = run.cpuSeconds;
    if (run.status != 0)
        state.SkipWithError("the process failed or ran past its time limit");
}

// A file's bytes as one character each, as the program hands them over;
// mapped rather than read, to spare one copy of a large file.
inline bool readLatin1(const char* name, QString* text)
{
    QFile file(QString::fromLocal8Bit(name));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    if (size == 0) {
        text->clear();
        return true;
    }
    const uchar* bytes = file.map(0, size);
    if (!bytes)
        return false;
    *text = QString::fromLatin1(reinterpret_cast<const char*>(bytes), qsizetype(size));
    file.unmap(const_cast<uchar*>(bytes));
    return true;
}

// The control's process: `--render DATA TYPE BMP [CUSTOMIZING]` draws the
// data as TYPE at 815 x 526 and saves the picture. Exit codes: 2 usage,
// 3 a file not read, 4 a load refused, 5 no picture of that size.
inline int renderMode(int argc, char** argv)
{
    if (argc != 5 && argc != 6)
        return 2;
    using platform::Variant;
    namespace id = vizorb::dispid;
    QApplication app(argc, argv);
    vizorb::VizorbControl control(QStringLiteral("7.00"));
    control.widget()->resize(815, 526);
    QString text;
    if (argc == 6) {
        if (!readLatin1(argv[5], &text))
            return 3;
        if (!control.get(id::LoadCustomizingXml, {Variant(text)}).toBoolean())
            return 4;
    }
    control.call(id::SetAttribute, {Variant("GlobalSettings"), Variant("ChartType"), Variant(argv[3])});
    if (!readLatin1(argv[2], &text))
        return 3;
    if (!control.get(id::LoadDataXml, {Variant(text)}).toBoolean())
        return 4;
    text.clear();
    const auto picture = control.get(id::ChartPicture).toObjectOf<platform::Picture>();
    if (picture->image().size() != QSize(815, 526))
        return 5;
    platform::savePicture(*picture, QString::fromLocal8Bit(argv[4]));
    return 0;
}

} // namespace bench
