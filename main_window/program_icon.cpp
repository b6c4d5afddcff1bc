#include "program_icon.h"

#include <QImageReader>

QIcon programIcon()
{
    // The library is static: its resources register only when asked to.
    Q_INIT_RESOURCE(program_icon);
    // Every image of the icon file, so each size is drawn from its own artwork.
    QIcon result;
    QImageReader reader(QStringLiteral(":/main_window/plotwright.ico"));
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        // The deepest image of each size comes first in the file and wins.
        if (!image.isNull() && !result.availableSizes().contains(image.size()))
            result.addPixmap(QPixmap::fromImage(image));
    }
    return result;
}
