#pragma once

#include "platform/clipboard.h"

#include <QImage>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace fakes {

// A clipboard that records its operations in order and keeps what they left:
// clear() empties every format, setting one format keeps the others.
class FakeClipboard final : public platform::Clipboard {
public:
    struct Operation {
        enum class Kind { Clear, SetText, SetData };
        Kind kind;
        QString text;            // SetText
        std::int32_t format = 0; // SetData
        QSize imageSize;         // SetData
        friend bool operator==(const Operation&, const Operation&) = default;
    };

    void clear() override;
    void setText(const QString& text) override;
    void setData(const platform::Picture& picture, std::int32_t format) override;

    const std::vector<Operation>& operations() const { return m_operations; }
    const std::optional<QString>& text() const { return m_text; }
    const std::optional<QImage>& image() const { return m_image; }

    // Called after each operation is recorded, to see it in order with other calls.
    std::function<void(const Operation&)> onOperation;

private:
    void record(Operation operation);

    std::vector<Operation> m_operations;
    std::optional<QString> m_text;
    std::optional<QImage> m_image;
};

void PrintTo(const FakeClipboard::Operation& operation, std::ostream* os);

} // namespace fakes
