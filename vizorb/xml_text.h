#pragma once

#include <QString>

class QXmlStreamReader;

namespace vizorb {

// A file's text as the program hands it over: one character per byte. Decodes
// it as its byte-order mark or XML declaration says (UTF-8 with or without a
// mark, UTF-16 with a mark, ISO-8859-1, windows-1252); text that already holds
// characters beyond one byte is taken as decoded. False with a message for an
// encoding this control cannot read.
bool decodeXmlText(const QString& text, QString* decoded, QString* error);

// Escapes text for an attribute or element: markup characters, line ends and
// every character beyond ISO-8859-1 as references, so the result survives
// one-byte-per-character files.
QString escapeXml(const QString& text);

// The declaration our writers put first.
inline constexpr const char* kXmlDeclaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

// "Line 3, column 7: " for the reader's current position.
QString positionText(const QXmlStreamReader& reader);

} // namespace vizorb
