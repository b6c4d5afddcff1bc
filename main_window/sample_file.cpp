#include "sample_file.h"

#include "file_text.h"

#include <QFile>
#include <QtEndian>

#include <cstring>
#include <limits>

namespace sample_file {

namespace {

constexpr qint64 kPreviewLengthAt = kHeaderSize;

class ByteSource {
public:
    explicit ByteSource(QByteArrayView bytes) : m_bytes(bytes) {}
    qint64 size() const { return m_bytes.size(); }
    bool read(qint64 at, char* out, qint64 count)
    {
        std::memcpy(out, m_bytes.data() + at, count);
        return true;
    }
    bool readText(qint64 at, qint64 count, QString& text)
    {
        text = QString::fromLatin1(m_bytes.data() + at, count);
        return true;
    }

private:
    QByteArrayView m_bytes;
};

class FileSource {
public:
    explicit FileSource(QFile& file) : m_file(file), m_size(file.size()) {}
    qint64 size() const { return m_size; }
    bool read(qint64 at, char* out, qint64 count) { return m_file.seek(at) && m_file.read(out, count) == count; }
    bool readText(qint64 at, qint64 count, QString& text)
    {
        return m_file.seek(at) && file_text::reserveText(text, count) && file_text::appendLatin1(m_file, count, text);
    }

private:
    QFile& m_file;
    qint64 m_size;
};

// Fields and texts are found by 0-based offsets in 64 bits: sums of 32-bit
// lengths cannot overflow them, so a sample of any size that the writer wrote
// reads back. Nothing is allocated for a text that does not lie in the file.
template <class Source> std::optional<Texts> parseFrom(Source& source)
{
    const qint64 size = source.size();
    if (size == 0)
        return Texts{};
    auto inside = [size](qint64 at, qint64 count) { return at >= 0 && count >= 0 && at <= size - count; };
    auto lengthAt = [&](qint64 at) -> std::optional<qint64> {
        char field[4];
        if (!inside(at, 4) || !source.read(at, field, 4))
            return std::nullopt;
        return qFromLittleEndian<qint32>(field);
    };

    const auto preview = lengthAt(kPreviewLengthAt);
    if (!preview || *preview < 0)
        return std::nullopt;
    const qint64 descriptionLengthAt = kPreviewLengthAt + 4 + *preview;
    const auto description = lengthAt(descriptionLengthAt);
    if (!description)
        return std::nullopt;
    // The description's length only places what follows; it may even step back.
    const qint64 dataLengthAt = descriptionLengthAt + 4 + *description;
    const auto data = lengthAt(dataLengthAt);
    if (!data || *data < 0)
        return std::nullopt;
    const qint64 dataAt = dataLengthAt + 4;
    const auto customizing = lengthAt(dataAt + *data);
    if (!customizing || *customizing < 0)
        return std::nullopt;
    const qint64 customizingAt = dataAt + *data + 4;
    if (!inside(kPreviewLengthAt + 4, *preview) || !inside(dataAt, *data) || !inside(customizingAt, *customizing))
        return std::nullopt;

    Texts texts;
    if (!source.readText(dataAt, *data, texts.data) || !source.readText(customizingAt, *customizing, texts.customizing))
        return std::nullopt;
    return texts;
}

QByteArray lengthField(qsizetype length)
{
    QByteArray field(4, Qt::Uninitialized);
    qToLittleEndian<qint32>(static_cast<qint32>(length), field.data());
    return field;
}

bool fitsLengthField(const QString& text)
{
    return text.size() <= std::numeric_limits<qint32>::max();
}

// The header and the three length fields before the data text; the preview
// and description are written empty.
QByteArray head(qsizetype dataLength)
{
    return QByteArray(kHeader, kHeaderSize) + lengthField(0) + lengthField(0) + lengthField(dataLength);
}

} // namespace

std::optional<Texts> parse(QByteArrayView bytes)
{
    ByteSource source(bytes);
    return parseFrom(source);
}

std::optional<Texts> load(const QString& path)
{
    QFile file(path);
    if (!file_text::openForReading(file))
        return std::nullopt;
    FileSource source(file);
    return parseFrom(source);
}

bool save(const QString& path, const QString& data, const QString& customizing)
{
    if (!fitsLengthField(data) || !fitsLengthField(customizing))
        return false;
    return file_text::replace(path, [&](QFileDevice& file) {
        return file.write(head(data.size())) == kHeaderSize + 12 && file_text::writeLatin1(file, data) &&
               file.write(lengthField(customizing.size())) == 4 && file_text::writeLatin1(file, customizing);
    });
}

} // namespace sample_file
