#pragma once

#include <QPointer>
#include <QString>

#include <cstdint>

class QMimeData;

namespace platform {

class Picture;

// The clipboard formats a picture can be offered in. Only the bitmap is supported.
namespace clipboard_format {
inline constexpr std::int32_t Bitmap = 2;
} // namespace clipboard_format

// The desktop's clipboard as the program uses it. Setting one format leaves
// the other formats the program put there before; only clear() empties it.
class Clipboard {
public:
    virtual ~Clipboard();
    // Empties the clipboard of every format.
    virtual void clear() = 0;
    // Puts the text on the clipboard as plain text.
    virtual void setText(const QString& text) = 0;
    // Puts a picture on the clipboard in `format`. A format other than the
    // bitmap raises Invalid Clipboard format (460); a picture with no image
    // raises Invalid property value (380).
    virtual void setData(const Picture& picture, std::int32_t format) = 0;
};

// The real one, on Qt's clipboard: the text is offered as plain text, the
// bitmap as an image the desktop's programs can paste (PNG, BMP, ...).
class QtClipboard final : public Clipboard {
public:
    void clear() override;
    void setText(const QString& text) override;
    void setData(const Picture& picture, std::int32_t format) override;

private:
    // The data this program put there last, while the clipboard still holds it.
    QMimeData* ownData() const;
    void publish(QMimeData* data);

    QPointer<QMimeData> m_published;
};

} // namespace platform
