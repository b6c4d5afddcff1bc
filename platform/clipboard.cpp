#include "clipboard.h"

#include "picture.h"
#include "runtime_error.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace platform {

Clipboard::~Clipboard() = default;

namespace {
QClipboard& desktopClipboard()
{
    return *QGuiApplication::clipboard();
}
} // namespace

QMimeData* QtClipboard::ownData() const
{
    // Only what we published ourselves is copied forward: reading another
    // program's clipboard is a round trip to it that may hang. Qt deletes our
    // data when another owner takes the clipboard, which clears m_published.
    if (!m_published)
        return nullptr;
    const QMimeData* current = desktopClipboard().mimeData(QClipboard::Clipboard);
    return current == m_published.data() ? m_published.data() : nullptr;
}

void QtClipboard::publish(QMimeData* data)
{
    desktopClipboard().setMimeData(data, QClipboard::Clipboard);
    m_published = data;
}

void QtClipboard::clear()
{
    desktopClipboard().clear(QClipboard::Clipboard);
    m_published = nullptr;
}

void QtClipboard::setText(const QString& text)
{
    auto* data = new QMimeData;
    if (const QMimeData* previous = ownData(); previous && previous->hasImage())
        data->setImageData(previous->imageData());
    data->setText(text);
    publish(data);
}

void QtClipboard::setData(const Picture& picture, std::int32_t format)
{
    if (format != clipboard_format::Bitmap)
        raise(err::InvalidClipboardFormat);
    if (picture.image().isNull())
        raise(err::InvalidPropertyValue);
    auto* data = new QMimeData;
    if (const QMimeData* previous = ownData(); previous && previous->hasText())
        data->setText(previous->text());
    // A bitmap has no alpha channel.
    data->setImageData(picture.image().convertToFormat(QImage::Format_RGB32));
    publish(data);
}

} // namespace platform
