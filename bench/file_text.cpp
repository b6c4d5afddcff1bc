// Whole-file text and sample files at 100 MB, each beside the raw system
// calls on the same bytes, so the ratio is measured in one run.
#include "main_window/file_text.h"
#include "main_window/sample_file.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

constexpr qsizetype kSize = 100 * 1000 * 1000;

// Every byte value, so the widening cannot take a short cut.
QByteArray content()
{
    QByteArray bytes(kSize, Qt::Uninitialized);
    char* out = bytes.data();
    for (qsizetype i = 0; i < kSize; ++i)
        out[i] = static_cast<char>((i * 131) ^ (i >> 9));
    return bytes;
}

struct Files {
    Files()
    {
        const QByteArray bytes = content();
        text = QString::fromLatin1(bytes);
        textPath = dir.filePath("text.xml");
        samplePath = dir.filePath("sample.pws");
        const qsizetype dataSize = kSize * 6 / 10;
        if (!file_text::write(textPath, text) ||
            !sample_file::save(samplePath, text.left(dataSize), text.mid(dataSize, kSize - dataSize - 43)))
            std::abort();
    }
    QTemporaryDir dir;
    QString text;
    QString textPath;
    QString samplePath;
};

Files& files()
{
    static Files instance;
    return instance;
}

// read(2) of the whole file into a buffer that is new each time, as every
// whole-file reader needs one: the baseline. With `reuse` the buffer is the
// same each time, which leaves only the copy out of the page cache.
void rawRead(benchmark::State& state, const QString& path, bool reuse)
{
    const QByteArray name = path.toLocal8Bit();
    auto allocate = [] { return std::unique_ptr<char[]>(new char[kSize]); };
    auto reused = allocate();
    std::memset(reused.get(), 0, kSize);
    for (auto _ : state) {
        const auto fresh = reuse ? nullptr : allocate();
        char* buffer = reuse ? reused.get() : fresh.get();
        const int fd = ::open(name.constData(), O_RDONLY);
        qsizetype total = 0;
        for (ssize_t got; (got = ::read(fd, buffer + total, kSize - total)) > 0;)
            total += got;
        ::close(fd);
        if (total != kSize)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(buffer);
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

void BM_RawRead(benchmark::State& state)
{
    rawRead(state, files().textPath, state.range(0) != 0);
}

void BM_ReadFileText(benchmark::State& state)
{
    files();
    for (auto _ : state) {
        const QString text = file_text::read(files().textPath);
        if (text.size() != kSize)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

// Raw write of the same bytes; with `sync` also to the disk, as a write that
// survives a crash must.
void rawWrite(benchmark::State& state, bool sync)
{
    const QByteArray bytes = content();
    const QByteArray name = files().dir.filePath("raw.xml").toLocal8Bit();
    for (auto _ : state) {
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        qsizetype total = 0;
        for (ssize_t put; total < kSize && (put = ::write(fd, bytes.constData() + total, kSize - total)) > 0;)
            total += put;
        if (sync)
            ::fdatasync(fd);
        ::close(fd);
        if (total != kSize)
            state.SkipWithError("short write");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

void BM_RawWrite(benchmark::State& state)
{
    rawWrite(state, false);
}
void BM_RawWriteSynced(benchmark::State& state)
{
    rawWrite(state, true);
}

void BM_WriteFileText(benchmark::State& state)
{
    const QString path = files().dir.filePath("written.xml");
    for (auto _ : state) {
        if (!file_text::write(path, files().text))
            state.SkipWithError("write failed");
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

void BM_RawReadSample(benchmark::State& state)
{
    rawRead(state, files().samplePath, state.range(0) != 0);
}

void BM_LoadPwSample(benchmark::State& state)
{
    files();
    for (auto _ : state) {
        const std::optional<sample_file::Texts> texts = sample_file::load(files().samplePath);
        if (!texts || texts->data.size() + texts->customizing.size() != kSize - 43) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(texts->data.constData());
    }
    state.SetBytesProcessed(state.iterations() * kSize);
}

} // namespace

// Argument of the raw reads: 0 a fresh buffer (the baseline), 1 a reused one.
BENCHMARK(BM_RawRead)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFileText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawWriteSynced)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteFileText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RawReadSample)->DenseRange(0, 1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadPwSample)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
