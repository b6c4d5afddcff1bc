#include "vizorb/chart/category_layout.h"

#include "vizorb/chart/chart_text.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>
#include <optional>

namespace vizorb {
namespace {

constexpr int kMaxLines = 3;
// Turned labels stand this much more than their lines apart (Qt Charts places them to whole pixels).
constexpr double kTurnedPad = 1;
// Between a spoke's name and its circle.
constexpr double kSpokeGap = 6;

struct Shown {
    QStringList texts;
    double width = 0; // widest line
    int lineCount = 1;
};

// The labels shown when every n-th is, broken into lines `wrapWidth` wide (none
// at 0); with `omitUnfit` a label that does not fit kMaxLines such lines is left off.
Shown measure(const QStringList& labels, int every, double wrapWidth, const QFont& font, bool omitUnfit = false)
{
    Shown s;
    for (qsizetype i = 0; i < labels.size(); i += every) {
        QString text = drawnText(labels[i]);
        // A label broken inside a word does not fit.
        const bool broken = wrapWidth > 0 && widestWord(text, font) > wrapWidth;
        if (wrapWidth > 0)
            text = wrapText(text, font, wrapWidth);
        double w = widestLine(text, font);
        int lines = int(text.count(QLatin1Char('\n'))) + 1;
        if (broken && !omitUnfit)
            lines = kMaxLines + 1;
        if (omitUnfit && (broken || w > wrapWidth || lines > kMaxLines)) {
            text.clear();
            w = 0;
            lines = 1;
        }
        s.width = std::max(s.width, w);
        s.lineCount = std::max(s.lineCount, lines);
        s.texts << text;
    }
    return s;
}

CategoryLayout finish(const Shown& s, int every, int angle, qreal points)
{
    return {every, angle, points, s.texts};
}

// The first way of drawing every n-th label that fits the room at this font, if any.
std::optional<CategoryLayout> attempt(const QStringList& labels, const QFont& font, const AxisRoom& room, bool alongX,
                                      int every)
{
    const qsizetype n = labels.size();
    const QFontMetricsF fm(font);
    const double lineHeight = fm.height();
    const double slot = room.length / double(n);
    const double space = slot * every;
    const qreal points = pointsOf(font);
    // Too little room for any label, level or turned: a dense axis is not measured.
    if (space < kItemPad + 2 + fm.averageCharWidth() / 2 && space < lineHeight + kTurnedPad)
        return std::nullopt;
    const Shown flat = measure(labels, every, 0, font);
    if (!alongX) {
        // Qt Charts hides a label whose box, margins included, meets the one before.
        if (flat.width + kItemPad <= room.across && lineHeight + kItemPad <= space)
            return finish(flat, every, 0, points);
        const Shown wrapped = measure(labels, every, room.across - kItemPad, font);
        if (wrapped.lineCount <= kMaxLines && wrapped.width + kItemPad <= room.across &&
            wrapped.lineCount * lineHeight + kItemPad <= space)
            return finish(wrapped, every, 0, points);
        return std::nullopt;
    }
    // A label is centred on its point: beside the ends of the axis there is half a
    // slot and what lies beyond the axis' ends (the value axes' labels).
    const double before = 0.5 * slot + room.before;
    const double after = (double((n - 1) % every) + 0.5) * slot + room.after;
    const auto level = [&](const Shown& s) -> std::optional<CategoryLayout> {
        if (s.lineCount * lineHeight + kItemPad > room.across)
            return std::nullopt;
        // The last label reaches half its width beyond its point: where that is
        // more than there is, the labels are drawn another way.
        if (s.texts.size() > 1 && widestLine(s.texts.last(), font) / 2 + kItemPad > after)
            return std::nullopt;
        return finish(s, every, 0, points);
    };
    if (flat.width + kItemPad + 2 <= space)
        if (auto l = level(flat))
            return l;
    const Shown wrapped = measure(labels, every, space - kItemPad - 2, font);
    if (wrapped.lineCount <= kMaxLines && wrapped.width + kItemPad + 2 <= space)
        if (auto l = level(wrapped))
            return l;
    // Qt Charts centres a turned label's box on its point: by 45 degrees neighbouring
    // boxes must stand apart along the axis, and the first and last within reach.
    const double box = (flat.width + lineHeight + 2 * kItemPad) * std::sqrt(0.5);
    if (box + 2 <= space && box <= room.across && box / 2 <= std::min(before, after))
        return finish(flat, every, -45, points);
    // Turned upright, each takes its lines' height and its item's margins along the axis.
    if (flat.width + kItemPad <= room.across && lineHeight + kTurnedPad <= space)
        return finish(flat, every, -90, points);
    const Shown turned = measure(labels, every, room.across - kItemPad, font);
    if (turned.lineCount <= kMaxLines && turned.width + kItemPad <= room.across &&
        turned.lineCount * lineHeight + kTurnedPad <= space)
        return finish(turned, every, -90, points);
    return std::nullopt;
}

} // namespace

CategoryLayout layoutCategories(const QStringList& labels, const QFont& font, const AxisRoom& room, bool alongX)
{
    const qsizetype n = labels.size();
    if (n == 0)
        return {};
    const qreal own = pointsOf(font);
    // Every label, in a smaller font where that is what it takes.
    for (qreal points = own;; points = smaller(points, kLeastLabelPoint)) {
        if (auto l = attempt(labels, sized(font, points), room, alongX, 1))
            return *l;
        if (points <= kLeastLabelPoint)
            break;
    }
    // Thinned, in the axis' own font or the smallest, whichever names more (the own
    // one where both name as many). However they are turned, shown labels need a
    // line's height each: thin to that first, so a dense axis never measures all its labels.
    std::optional<CategoryLayout> thinned;
    for (qreal points : {own, std::min(own, kLeastLabelPoint)}) {
        const QFont f = sized(font, points);
        const double lineHeight = QFontMetricsF(f).height();
        const int first = int(std::clamp<qsizetype>(qsizetype(std::ceil(double(n) * lineHeight / room.length)), 2, n));
        for (int every = first; !thinned || every < thinned->every;
             every = int(std::min<qsizetype>(n, every < 4 ? every + 1 : every + every / 2))) {
            if (auto l = attempt(labels, f, room, alongX, every)) {
                thinned = l;
                break;
            }
            if (every >= n)
                break;
        }
        if (points == kLeastLabelPoint || own <= kLeastLabelPoint)
            break;
    }
    if (thinned)
        return *thinned;
    // Some label fits nowhere: leave such labels off and lay out the rest.
    const QFont f = sized(font, std::min(own, kLeastLabelPoint));
    const double lineHeight = QFontMetricsF(f).height();
    const double across = std::max(room.across - kItemPad, 4 * QFontMetricsF(f).averageCharWidth());
    const int first = int(std::clamp<qsizetype>(qsizetype(std::ceil(double(n) * lineHeight / room.length)), 1, n));
    for (int every = first;; every = int(std::min<qsizetype>(n, every < 4 ? every + 1 : every + every / 2))) {
        const Shown rest = measure(labels, every, across, f, true);
        if (rest.lineCount * lineHeight <= room.length / double(n) * every || every >= n)
            return finish(rest, every, alongX ? -90 : 0, pointsOf(f));
    }
}

QSizeF labelsExtent(const CategoryLayout& layout, const QFont& font)
{
    const QFontMetricsF fm(font);
    double widest = 0;
    qsizetype lines = 1;
    for (const QString& label : layout.lines) {
        lines = std::max(lines, label.count(QLatin1Char('\n')) + 1);
        widest = std::max(widest, widestLine(label, font));
    }
    return {widest + kItemPad, double(lines) * fm.lineSpacing() + kItemPad};
}

QRectF spokeLabelBox(QPointF centre, double radius, double degrees, QSizeF size)
{
    const double a = degrees * M_PI / 180;
    const double dx = std::sin(a), dy = -std::cos(a);
    const QPointF at = centre + (radius + kSpokeGap) * QPointF(dx, dy);
    // Scaled so the larger part is 1: a name at the top stands centred above
    // its spoke, one at 45 degrees has its corner on it.
    const double scale = 1 / std::max(std::abs(dx), std::abs(dy));
    QRectF box(QPointF(), size);
    box.moveCenter(at + QPointF(dx * scale * size.width() / 2, dy * scale * size.height() / 2));
    return box;
}

namespace {

// The largest radius, between `least` and `most`, at which every named spoke's box lies inside `room`.
double fittingRadius(const SpokeLayout& s, const QRectF& room, double least, double most)
{
    const qsizetype n = s.texts.size();
    const auto fits = [&](double r) {
        for (qsizetype k = 0; k < n; ++k)
            if (!s.texts[k].isEmpty() && !room.contains(spokeLabelBox(room.center(), r, 360.0 * k / n, s.sizes[k])))
                return false;
        return true;
    };
    if (fits(most))
        return most;
    if (!fits(least))
        return -1;
    double lo = least, hi = most;
    while (hi - lo > 0.5) {
        const double mid = (lo + hi) / 2;
        (fits(mid) ? lo : hi) = mid;
    }
    return lo;
}

// Leaves off each name that would overlap one already shown (the first spoke's is kept); returns how many.
int thin(SpokeLayout& s, QPointF centre)
{
    const qsizetype n = s.texts.size();
    QList<QRectF> shown;
    int left = 0;
    for (qsizetype k = 0; k < n; ++k) {
        if (s.texts[k].isEmpty())
            continue;
        // A little apart, as Qt Charts rounds positions to whole pixels.
        const QRectF box = spokeLabelBox(centre, s.radius, 360.0 * k / n, s.sizes[k]).adjusted(-1, -1, 1, 1);
        if (std::any_of(shown.begin(), shown.end(), [&](const QRectF& r) { return r.intersects(box); })) {
            s.texts[k].clear();
            ++left;
        } else {
            shown << box;
        }
    }
    return left;
}

} // namespace

SpokeLayout layoutSpokes(const QStringList& labels, const QFont& font, const QRectF& room)
{
    const qsizetype n = labels.size();
    const double most = std::max(1.0, std::min(room.width(), room.height()) / 2 - kSpokeGap);
    const double least = most / 2;
    const qreal own = pointsOf(font);
    // However small, names take a line's height each around the circle: where they are
    // far too many, only every step-th is measured, in the spokes' own font.
    const double line = QFontMetricsF(sized(font, std::min(own, kLeastLabelPoint))).height();
    const qsizetype step = std::max<qsizetype>(1, qsizetype(std::floor(double(n) * line / (2 * M_PI * most))));
    // Names left off or broken inside a word first take a smaller font: of the sizes tried,
    // the largest that names the most spokes, whole words before broken ones.
    const auto named = [](const SpokeLayout& s) {
        return std::count_if(s.texts.begin(), s.texts.end(), [](const QString& t) { return !t.isEmpty(); });
    };
    SpokeLayout best;
    qsizetype bestNamed = -1;
    bool bestWhole = false;
    for (qreal points = own;; points = smaller(points, kLeastLabelPoint)) {
        const QFont f = sized(font, points);
        const QFontMetricsF fm(f);
        SpokeLayout s;
        s.points = points;
        // Names broken into lines a fifth of the room wide, or as wide as their longest word.
        // A word is broken only where it is wider than a third of the room.
        double word = 0;
        for (qsizetype k = 0; k < n; k += step)
            for (const QString& w : drawnText(labels[k]).split(QLatin1Char(' ')))
                word = std::max(word, fm.horizontalAdvance(w));
        const double wrapWidth =
            std::max({room.width() * 0.2, 6 * fm.averageCharWidth(), std::min(word + 1, room.width() / 3)});
        const bool whole = word + 1 <= wrapWidth;
        for (qsizetype k = 0; k < n; ++k) {
            const QString text = k % step == 0 ? wrapText(drawnText(labels[k]), f, wrapWidth) : QString();
            s.texts << text;
            s.sizes << QSizeF(std::ceil(widestLine(text, f)) + 2,
                              double(text.count(QLatin1Char('\n')) + 1) * std::ceil(fm.height()));
        }
        const qsizetype wanted = named(s);
        s.radius = fittingRadius(s, room, least, most);
        if (s.radius < 0) {
            // Too wide to fit beside even the smallest circle: the widest names are left off.
            s.radius = least;
            for (qsizetype k = 0; k < n; ++k)
                if (!room.contains(spokeLabelBox(room.center(), least, 360.0 * k / n, s.sizes[k])))
                    s.texts[k].clear();
        }
        SpokeLayout thinned = s;
        thin(thinned, room.center());
        const qsizetype shown = named(thinned);
        if (shown > bestNamed || (shown == bestNamed && whole && !bestWhole)) {
            best = thinned;
            bestNamed = shown;
            bestWhole = whole;
        }
        if ((shown == wanted && whole) || points <= kLeastLabelPoint || step > 1)
            return best;
    }
}

} // namespace vizorb
