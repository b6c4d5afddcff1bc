#pragma once

#include <QRect>

#include <cmath>

class QWidget;

namespace platform {

// Screen geometry is kept in single-precision twips, 15 to a pixel, and
// becomes whole device pixels only where it is applied to a widget.
inline constexpr float kTwipsPerPixel = 15.0f;

inline int twipsToPixels(float twips)
{
    return static_cast<int>(std::lround(twips / kTwipsPerPixel));
}
inline float pixelsToTwips(int pixels)
{
    return static_cast<float>(pixels) * kTwipsPerPixel;
}

// The Left, Top, Width and Height of a child window in twips, exactly as
// set: reading one back gives the single-precision value stored, not the
// pixel it was mapped to. A negative width or height raises Invalid property
// value (380), as no window can take one.
class Placement {
public:
    Placement(QWidget* widget, float left, float top, float width, float height);

    float left() const { return m_left; }
    float top() const { return m_top; }
    float width() const { return m_width; }
    float height() const { return m_height; }
    void setLeft(float value);
    void setTop(float value);
    void setWidth(float value);
    void setHeight(float value);

    QWidget* widget() const { return m_widget; }
    // The pixel rectangle the twips map to.
    QRect pixelRect() const;

private:
    void apply();

    QWidget* m_widget;
    float m_left;
    float m_top;
    float m_width;
    float m_height;
};

} // namespace platform
