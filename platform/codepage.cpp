#include "codepage.h"

namespace platform {

QString fromCodePage(QByteArrayView bytes)
{
    return QString::fromLatin1(bytes.data(), bytes.size());
}

std::optional<QByteArray> toCodePage(const QString& text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (QChar c : text) {
        if (c.unicode() > 0xFF)
            return std::nullopt;
        *out++ = static_cast<char>(c.unicode());
    }
    return bytes;
}

} // namespace platform
