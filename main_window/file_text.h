#pragma once

#include <QString>
#include <QStringView>

#include <functional>

class QFile;
class QFileDevice;

// Whole files as 8-bit text, one byte a character, without any conversion.
namespace file_text {

// The file's bytes as characters. The empty text when the file cannot be
// opened or is not a regular file; a name that does not exist, in an existing
// folder, is created empty.
// A read-only file is read.
QString read(const QString& path);

// Replaces the file by the text. False, with the old file as it was, when a
// character lies beyond one byte, the target is read-only or anything fails.
bool write(const QString& path, const QString& content);

// Replaces the file by what `writeContent` writes: the new content goes to a
// temporary file in the same folder that is moved over the target in one
// step, so an error part way, or `writeContent` returning false, leaves the
// old file untouched. A read-only target gives false and stays as it was.
bool replace(const QString& path, const std::function<bool(QFileDevice&)>& writeContent);

// Opens a file for reading; a name that does not exist, in an existing
// folder, is created empty first. False for anything but a regular file (a
// folder, a pipe, a device) and for what cannot be opened.
bool openForReading(QFile& file);

// Makes room for `count` characters in an empty text, to be filled front to
// back; false when memory is short.
bool reserveText(QString& text, qint64 count);

// Appends `count` bytes of `file`, from where it stands, to `text` as
// characters. False when the file ends early or the read fails.
bool appendLatin1(QFileDevice& file, qint64 count, QString& text);

// Writes the text one byte a character; false at a character beyond U+00FF
// or when the write fails.
bool writeLatin1(QFileDevice& file, QStringView text);

} // namespace file_text
