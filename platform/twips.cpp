#include "twips.h"

#include "runtime_error.h"

#include <QWidget>

namespace platform {

Placement::Placement(QWidget* widget, float left, float top, float width, float height)
    : m_widget(widget), m_left(left), m_top(top), m_width(width), m_height(height)
{
    apply();
}

void Placement::setLeft(float value)
{
    m_left = value;
    apply();
}

void Placement::setTop(float value)
{
    m_top = value;
    apply();
}

void Placement::setWidth(float value)
{
    if (value < 0)
        raise(err::InvalidPropertyValue);
    m_width = value;
    apply();
}

void Placement::setHeight(float value)
{
    if (value < 0)
        raise(err::InvalidPropertyValue);
    m_height = value;
    apply();
}

QRect Placement::pixelRect() const
{
    // Edges are mapped, not sizes, so neighbours that touch in twips touch in pixels.
    const int left = twipsToPixels(m_left);
    const int top = twipsToPixels(m_top);
    return QRect(left, top, twipsToPixels(m_left + m_width) - left, twipsToPixels(m_top + m_height) - top);
}

void Placement::apply()
{
    if (m_widget)
        m_widget->setGeometry(pixelRect());
}

} // namespace platform
