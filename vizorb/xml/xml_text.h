#pragma once

#include <QString>

class QXmlStreamReader;

namespace vizorb {

// The most characters a data text may hold, one a byte as the program reads
// files: room for the largest data (20,000,000 values) written plainly, while
// a text and its decoded copy stay far below the memory a chart may use.
inline constexpr qsizetype kMaxXmlText = 128 * 1024 * 1024;
// The most characters the XML reader is given: a whole customizing text, the
// part of a data text outside long number lists (which skip the reader). The
// reader takes tens of nanoseconds a character.
inline constexpr qsizetype kMaxMarkupText = 32 * 1024 * 1024;

// A file's text as the program hands it over: one character per byte. Decodes
// it as its byte-order mark or XML declaration says (UTF-8 with or without a
// mark, UTF-16 with a mark, ISO-8859-1, US-ASCII, windows-1252); text that
// already holds characters beyond one byte is taken as decoded. False with a
// message for an encoding this control cannot read, a declaration the bytes
// contradict, or bytes that are not what they claim (naming line and column
// where there is one).
bool decodeXmlText(const QString& text, QString* decoded, QString* error);

// Refuses, before the XML reader sees it, markup that would cost it more than
// linear time: a tag with more than kMaxAttributes attributes (the reader
// compares each with all before it) and document type declarations (whose
// attribute defaults and entities neither format uses). False with a message
// naming line and column.
inline constexpr int kMaxAttributes = 64;
bool checkMarkup(QStringView text, QString* error);

// Escapes text for an attribute or element: markup characters, line ends and
// every character beyond ISO-8859-1 as references, so the result survives
// one-byte-per-character files.
QString escapeXml(const QString& text);
// escapeXml(text).size(), without writing it.
qsizetype escapedLength(QStringView text);
// Whether XML 1.0 can carry the text: no control character but tab, line feed
// and carriage return, no U+FFFE or U+FFFF, no half of a surrogate pair.
// Otherwise the index of the first that it cannot.
qsizetype firstUnwritable(QStringView text);

// The declaration our writers put first.
inline constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

// "Line 3, column 7: " for the reader's current position.
QString positionText(const QXmlStreamReader& reader);
// The same for character `index` of `text` (1-based column; CR, LF and CR LF
// each end a line, as for the reader).
QString positionText(QStringView text, qsizetype index);

// A text from the input as a message quotes it: long ones shortened, so a
// message stays readable whatever the file held.
QString quoted(QStringView text);

} // namespace vizorb
