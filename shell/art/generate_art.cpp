// Draws the program's artwork once; the produced files are kept in the
// source tree, so the build does not run this:
//   g++ -std=c++20 -fPIC generate_art.cpp $(pkg-config --cflags --libs Qt6Gui) -o generate_art
//   QT_QPA_PLATFORM=offscreen ./generate_art <source root>
// writes shell/splash.png (the start-up picture, 500 x 341, 24 bits a pixel)
// and main_window/plotwright.ico (48, 32 and 16 pixels at 4, 8 and 32 bits).
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {
const QColor kNavy(28, 48, 86);
const QColor kBlue(58, 110, 180);
const QColor kPaleBlue(150, 182, 224);
const QColor kOrange(255, 153, 0);

QImage drawIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    const double s = size / 48.0;
    // A rounded tile with three bars and a rising line.
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(QRectF(1 * s, 1 * s, 46 * s, 46 * s), 8 * s, 8 * s);
    p.setBrush(kPaleBlue);
    p.drawRect(QRectF(9 * s, 27 * s, 8 * s, 13 * s));
    p.setBrush(QColor(110, 150, 210));
    p.drawRect(QRectF(20 * s, 20 * s, 8 * s, 20 * s));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(31 * s, 13 * s, 8 * s, 27 * s));
    QPen line(kOrange, std::max(1.0, 3.5 * s), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(line);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(7 * s, 25 * s);
    path.lineTo(20 * s, 17 * s);
    path.lineTo(28 * s, 21 * s);
    path.lineTo(41 * s, 8 * s);
    p.drawPath(path);
    return image;
}

QImage drawSplash()
{
    QImage image(500, 341, QImage::Format_RGB888);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient sky(0, 0, 0, 341);
    sky.setColorAt(0, QColor(250, 252, 255));
    sky.setColorAt(1, QColor(219, 230, 244));
    p.fillRect(image.rect(), sky);

    // The chart motif: a light grid, bars and a smooth line with its points.
    const QRectF plot(40, 95, 425, 135);
    p.setPen(QPen(QColor(205, 216, 232), 1));
    for (int i = 0; i <= 4; ++i) {
        const double y = plot.top() + i * plot.height() / 4;
        p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
    }
    const double values[] = {0.35, 0.55, 0.45, 0.7, 0.62, 0.85, 0.78, 0.95};
    const int count = 8;
    const double slot = plot.width() / count;
    p.setPen(Qt::NoPen);
    QPainterPath line;
    std::vector<QPointF> points;
    for (int i = 0; i < count; ++i) {
        const double h = values[i] * plot.height();
        QLinearGradient bar(0, plot.bottom() - h, 0, plot.bottom());
        bar.setColorAt(0, kBlue);
        bar.setColorAt(1, kPaleBlue);
        p.setBrush(bar);
        p.drawRoundedRect(QRectF(plot.left() + i * slot + slot * 0.22, plot.bottom() - h, slot * 0.56, h), 3, 3);
        points.emplace_back(plot.left() + (i + 0.5) * slot, plot.bottom() - h * 0.78 - 8);
    }
    line.moveTo(points.front());
    for (std::size_t i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1];
        const QPointF b = points[i];
        line.cubicTo(QPointF((a.x() + b.x()) / 2, a.y()), QPointF((a.x() + b.x()) / 2, b.y()), b);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOrange, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(line);
    p.setBrush(Qt::white);
    p.setPen(QPen(kOrange, 2));
    for (const QPointF& point : points)
        p.drawEllipse(point, 4, 4);
    p.setPen(QPen(kNavy, 2));
    p.drawLine(QPointF(plot.left(), plot.bottom()), QPointF(plot.right(), plot.bottom()));

    // The tool's name.
    QFont title;
    title.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    title.setPixelSize(40);
    title.setBold(true);
    p.setFont(title);
    p.setPen(kNavy);
    p.drawText(QRectF(150, 18, 330, 48), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Plotwright"));
    QFont tagline = title;
    tagline.setPixelSize(13);
    tagline.setBold(false);
    p.setFont(tagline);
    p.setPen(QColor(80, 100, 135));
    p.drawText(QRectF(150, 64, 330, 20), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("Chart customizing designer"));

    // A closing band along the bottom edge.
    p.fillRect(QRectF(0, 325, 500, 16), kNavy);
    p.fillRect(QRectF(0, 322, 500, 3), kOrange);
    return image;
}

// Nearest colour of a palette.
int nearest(QRgb colour, const std::vector<QRgb>& palette)
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const int dr = qRed(colour) - qRed(palette[i]);
        const int dg = qGreen(colour) - qGreen(palette[i]);
        const int db = qBlue(colour) - qBlue(palette[i]);
        const int distance = dr * dr * 3 + dg * dg * 4 + db * db * 2;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::vector<QRgb> vgaPalette()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

std::vector<QRgb> cubePalette()
{
    std::vector<QRgb> palette;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                palette.push_back(qRgb(r * 51, g * 51, b * 51));
    for (int i = 0; palette.size() < 256; ++i)
        palette.push_back(qRgb(i * 6 + 8, i * 6 + 8, i * 6 + 8));
    return palette;
}

void put16(QByteArray& out, int v)
{
    out += char(v & 0xFF);
    out += char((v >> 8) & 0xFF);
}
void put32(QByteArray& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

// One icon image: header, palette, colour rows and mask rows, bottom-up.
QByteArray iconImage(const QImage& image, int bits)
{
    const int size = image.width();
    std::vector<QRgb> palette = bits == 4 ? vgaPalette() : bits == 8 ? cubePalette() : std::vector<QRgb>{};
    const int colourStride = ((size * bits + 31) / 32) * 4;
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray out;
    put32(out, 40);
    put32(out, size);
    put32(out, size * 2);
    put16(out, 1);
    put16(out, bits);
    put32(out, 0);
    put32(out, (colourStride + maskStride) * size);
    put32(out, 0);
    put32(out, 0);
    put32(out, static_cast<std::uint32_t>(palette.size()));
    put32(out, 0);
    for (QRgb c : palette) {
        out += char(qBlue(c));
        out += char(qGreen(c));
        out += char(qRed(c));
        out += char(0);
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(colourStride, '\0');
        for (int x = 0; x < size; ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (bits == 32) {
                row[x * 4] = char(qBlue(pixel));
                row[x * 4 + 1] = char(qGreen(pixel));
                row[x * 4 + 2] = char(qRed(pixel));
                row[x * 4 + 3] = char(qAlpha(pixel));
                continue;
            }
            const int index = qAlpha(pixel) < 128 ? 0 : nearest(pixel, palette);
            if (bits == 8)
                row[x] = char(index);
            else
                row[x / 2] = char(row[x / 2] | (x % 2 ? index : index << 4));
        }
        out += row;
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(image.pixel(x, y)) < 128)
                row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        out += row;
    }
    return out;
}

QByteArray iconFile()
{
    struct Entry {
        int size;
        int bits;
        QByteArray data;
    };
    std::vector<Entry> entries;
    for (int size : {48, 32, 16}) {
        const QImage image = drawIcon(size).convertToFormat(QImage::Format_ARGB32);
        for (int bits : {32, 8, 4})
            entries.push_back({size, bits, iconImage(image, bits)});
    }
    QByteArray out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<int>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (const Entry& e : entries) {
        out += char(e.size);
        out += char(e.size);
        out += char(e.bits == 4 ? 16 : 0);
        out += char(0);
        put16(out, 1);
        put16(out, e.bits);
        put32(out, static_cast<std::uint32_t>(e.data.size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(e.data.size());
    }
    for (const Entry& e : entries)
        out += e.data;
    return out;
}
} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: generate_art <source root>\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    if (!drawSplash().save(root + QStringLiteral("/shell/splash.png"))) {
        std::fprintf(stderr, "cannot write splash.png\n");
        return 1;
    }
    QFile ico(root + QStringLiteral("/main_window/plotwright.ico"));
    if (!ico.open(QIODevice::WriteOnly) || ico.write(iconFile()) < 0) {
        std::fprintf(stderr, "cannot write plotwright.ico\n");
        return 1;
    }
    return 0;
}
