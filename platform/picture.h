#pragma once

#include "variant.h"

#include <QImage>

namespace platform {

// A picture object as controls hand them out: the image of a chart as drawn.
class Picture final : public Object {
public:
    explicit Picture(QImage image) : m_image(std::move(image)) {}
    const QImage& image() const { return m_image; }

private:
    QImage m_image;
};

// Saves a picture as a Windows bitmap file, 24 bits a pixel. A file that
// cannot be written raises Path/File access error (75).
void savePicture(const Picture& picture, const QString& path);

} // namespace platform
