// The sample reader on arbitrary bytes: it must never crash, read outside
// the input or allocate what a corrupt length claims. The file reader behind
// LoadPwSample must take what the in-memory one takes, and what they accept
// must survive SavePwSample's writer and a second read unchanged.
#include "main_window/sample_file.h"

#include <QTemporaryDir>

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {
// The input as a file without touching the disk: an anonymous memory file,
// reached by its /proc name.
std::optional<sample_file::Texts> loadAsFile(const std::uint8_t* data, std::size_t size)
{
    static const int fd = memfd_create("pws_sample", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();
    return sample_file::load(QStringLiteral("/proc/self/fd/%1").arg(fd));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const std::optional<sample_file::Texts> texts = sample_file::parse(bytes);
    if (loadAsFile(data, size) != texts)
        std::abort();
    if (!texts)
        return 0;
    if (texts->data.size() + texts->customizing.size() > static_cast<qsizetype>(size))
        std::abort();
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("written.pws"));
    if (!sample_file::save(path, texts->data, texts->customizing) || sample_file::load(path) != texts)
        std::abort();
    return 0;
}
