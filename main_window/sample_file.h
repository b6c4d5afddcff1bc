#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Sample files: a 27-byte header, then four sections (preview, description,
// data XML, customizing XML), each a signed 32-bit little-endian length and
// that many 8-bit characters.
namespace sample_file {

inline constexpr char kHeader[] = "Plotwright Lab Sample 1.0\n"; // with its NUL: 27 bytes
inline constexpr qsizetype kHeaderSize = 27;

struct Texts {
    QString data;
    QString customizing;
    friend bool operator==(const Texts&, const Texts&) = default;
};

// The data and customizing texts of a sample's bytes; nothing when a length is
// negative or a field or text runs past the end. No bytes at all is a sample
// with two empty texts. The header is not compared.
std::optional<Texts> parse(QByteArrayView bytes);

// Reads a sample file as parse() does. A name that does not exist, in an
// existing folder, is created empty and reads as two empty texts.
std::optional<Texts> load(const QString& path);

// Writes a sample file in one step: on failure the old file stays as it was.
bool save(const QString& path, const QString& data, const QString& customizing);

} // namespace sample_file
