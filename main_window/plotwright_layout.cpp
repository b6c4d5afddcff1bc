#include "plotwright.h"

#include "event_list.h"

#include <algorithm>

namespace {
// The list's top in every state, and the chart's share when the list shows.
constexpr double kUpperShare = 0.9;
constexpr double kLowerShare = 0.1;
constexpr double kButtonGap = 100; // between neighbouring wizard buttons
constexpr double kChartGap = 50;   // between the chart and the button row

// Every computed length is stored as the single it rounds to, once; none is
// rounded to whole twips.
float toSingle(double value)
{
    return static_cast<float>(value);
}
} // namespace

void Plotwright::Form_Resize()
{
    using namespace platform::extender;
    platform::Placement& list = *m_eventListPlacement;
    platform::Placement& back = *m_backPlacement;
    platform::Placement& next = *m_nextPlacement;
    platform::Placement& finish = *m_finishPlacement;

    ctrlChart->put(Left, 0.0f);
    ctrlChart->put(Top, 0.0f);
    ctrlChart->put(Width, ScaleWidth());
    list.setLeft(0.0f);
    list.setTop(toSingle(ScaleHeight() * kUpperShare));
    list.setWidth(ScaleWidth());

    if (!WizardActive) {
        if (!ctrlEventList->isHidden()) {
            ctrlChart->put(Height, toSingle(ScaleHeight() * kUpperShare));
            list.setHeight(toSingle(ScaleHeight() * kLowerShare));
        } else {
            ctrlChart->put(Height, ScaleHeight());
        }
        return;
    }

    // Each button's neighbour is read back from the button as placed.
    finish.setLeft(toSingle(double(ScaleWidth()) - finish.width()));
    finish.setTop(toSingle(double(ScaleHeight()) - finish.height()));
    next.setLeft(toSingle(double(finish.left()) - next.width() - kButtonGap));
    next.setTop(finish.top());
    back.setLeft(toSingle(double(next.left()) - back.width() - kButtonGap));
    back.setTop(next.top());
    // A window lower than the button row leaves no room for the chart; no
    // control takes a negative height, so it gets none.
    ctrlChart->put(Height, toSingle(std::max(0.0, double(ScaleHeight()) - finish.height() - kChartGap)));
}

void Plotwright::ToggleEventList()
{
    m_eventListChecked = !m_eventListChecked;
    ctrlEventList->setVisible(m_eventListChecked);
    Form_Resize();
}
