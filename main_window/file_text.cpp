#include "file_text.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include <new>

namespace file_text {

namespace {
// Large enough to amortise the system calls, small enough to stay in cache
// while its bytes change width.
constexpr qint64 kChunk = 64 * 1024;

bool isReadOnly(const QFileInfo& info)
{
    // The file's own write bits decide, not access(), which lets an
    // administrator write anything.
    constexpr auto anyWrite = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !(info.permissions() & anyWrite) || !info.isWritable();
}

// A whole text is filled once, front to back, into fresh memory, and every
// 4 KiB page of it costs the system a fault: on a virtual machine that is
// most of the time a large read takes. Huge pages cut the faults 512-fold.
// It is only advice, given so that it stays safe: it covers whole 2 MiB
// pages inside the text's own allocation, and only texts of 32 MiB and more,
// which the C library maps on their own (its automatic threshold for that
// stops at 32 MiB), so the advice is unmapped with the text and never
// reaches memory the allocator hands out again.
void adviseHugePages(QString& text, qint64 count)
{
    constexpr qint64 kMinimum = 16 * 1024 * 1024; // characters: 32 MiB
    constexpr quintptr kHugePage = 2 * 1024 * 1024;
    if (count < kMinimum)
        return;
    const auto begin = (reinterpret_cast<quintptr>(text.data()) + kHugePage - 1) & ~(kHugePage - 1);
    const auto end = reinterpret_cast<quintptr>(text.data() + count) & ~(kHugePage - 1);
    if (end > begin)
        madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

// Narrows characters to bytes; false when one lies beyond U+00FF.
bool narrow(const char16_t* in, qsizetype count, char* out)
{
    char16_t high = 0;
    for (qsizetype i = 0; i < count; ++i) {
        high |= in[i];
        out[i] = static_cast<char>(in[i]);
    }
    return high <= 0xFF;
}
} // namespace

bool reserveText(QString& text, qint64 count)
{
    try {
        text.reserve(count);
    } catch (const std::bad_alloc&) {
        return false;
    }
    adviseHugePages(text, count);
    return true;
}

bool appendLatin1(QFileDevice& file, qint64 count, QString& text)
{
    char buffer[kChunk];
    while (count > 0) {
        const qint64 got = file.read(buffer, std::min(count, kChunk));
        if (got <= 0)
            return false;
        text.append(QLatin1StringView(buffer, got));
        count -= got;
    }
    return true;
}

bool writeLatin1(QFileDevice& file, QStringView text)
{
    char buffer[kChunk];
    for (qsizetype at = 0; at < text.size(); at += kChunk) {
        const qsizetype count = std::min<qsizetype>(kChunk, text.size() - at);
        if (!narrow(text.utf16() + at, count, buffer) || file.write(buffer, count) != count)
            return false;
    }
    return true;
}

bool openForReading(QFile& file)
{
    // Opened by hand, without blocking, so that a named pipe cannot stall the
    // open and anything but a regular file (a pipe, a device such as
    // /dev/zero, a folder) is refused before a byte is read.
    const QByteArray name = QFile::encodeName(file.fileName());
    if (name.isEmpty())
        return false;
    int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0 && errno == ENOENT)
        fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    struct stat status {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return false;
    }
    // Unbuffered: whole texts are read in large pieces, straight from the system.
    if (file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return true;
    ::close(fd);
    return false;
}

QString read(const QString& path)
{
    QFile file(path);
    if (!openForReading(file))
        return {};
    const qint64 size = file.size();
    QString text;
    if (!reserveText(text, size))
        return {};
    // A failed read leaves the text as the blanks it was made of.
    if (!appendLatin1(file, size, text))
        return QString(size, QLatin1Char(' '));
    return text;
}

bool write(const QString& path, const QString& content)
{
    return replace(path, [&](QFileDevice& file) { return writeLatin1(file, content); });
}

bool replace(const QString& path, const std::function<bool(QFileDevice&)>& writeContent)
{
    const QFileInfo target(path);
    if (path.isEmpty() || (target.exists() && (!target.isFile() || isReadOnly(target))))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!writeContent(file))
        file.cancelWriting();
    return file.commit();
}

} // namespace file_text
