#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace platform {

// Files and operating-system strings are 8-bit text, one byte a character
// (ISO-8859-1), so every byte value round-trips through a QString.
QString fromCodePage(QByteArrayView bytes);

// The text as one byte a character; nothing when a character lies beyond
// U+00FF, which one byte cannot hold (never a silent '?').
std::optional<QByteArray> toCodePage(const QString& text);

} // namespace platform
