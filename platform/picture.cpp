#include "picture.h"

#include "runtime_error.h"

#include <QSaveFile>

namespace platform {

void savePicture(const Picture& picture, const QString& path)
{
    // RGB888 makes Qt's writer emit 24 bits a pixel whatever the source format.
    const QImage image = picture.image().convertToFormat(QImage::Format_RGB888);
    QSaveFile file(path);
    if (image.isNull() || !file.open(QIODevice::WriteOnly) || !image.save(&file, "BMP") || !file.commit())
        raise(err::PathFileAccessError);
}

} // namespace platform
