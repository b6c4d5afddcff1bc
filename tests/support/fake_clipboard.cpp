#include "fake_clipboard.h"

#include "platform/picture.h"
#include "platform/runtime_error.h"

#include <ostream>

namespace fakes {

void FakeClipboard::record(Operation operation)
{
    m_operations.push_back(std::move(operation));
    if (onOperation)
        onOperation(m_operations.back());
}

void FakeClipboard::clear()
{
    m_text.reset();
    m_image.reset();
    record({Operation::Kind::Clear, {}, 0, {}});
}

void FakeClipboard::setText(const QString& text)
{
    m_text = text;
    record({Operation::Kind::SetText, text, 0, {}});
}

void FakeClipboard::setData(const platform::Picture& picture, std::int32_t format)
{
    // Refuses what the real clipboard refuses.
    if (format != platform::clipboard_format::Bitmap)
        platform::raise(platform::err::InvalidClipboardFormat);
    if (picture.image().isNull())
        platform::raise(platform::err::InvalidPropertyValue);
    m_image = picture.image();
    record({Operation::Kind::SetData, {}, format, picture.image().size()});
}

void PrintTo(const FakeClipboard::Operation& operation, std::ostream* os)
{
    switch (operation.kind) {
    case FakeClipboard::Operation::Kind::Clear:
        *os << "Clear";
        break;
    case FakeClipboard::Operation::Kind::SetText:
        *os << "SetText(\"" << operation.text.toStdString() << "\")";
        break;
    case FakeClipboard::Operation::Kind::SetData:
        *os << "SetData(" << operation.imageSize.width() << "x" << operation.imageSize.height() << ", "
            << operation.format << ")";
        break;
    }
}

} // namespace fakes
