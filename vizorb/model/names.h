#pragma once

#include <QLatin1StringView>

// The customizing's element and attribute names, spelt as stored and
// written. Code names them from here, never as literals of its own.
namespace vizorb {

namespace element {
inline constexpr QLatin1StringView GlobalSettings{"GlobalSettings"};
inline constexpr QLatin1StringView Title{"Title"};
inline constexpr QLatin1StringView Subtitle{"Subtitle"};
inline constexpr QLatin1StringView Legend{"Legend"};
inline constexpr QLatin1StringView CategoryAxis{"CategoryAxis"};
inline constexpr QLatin1StringView ValueAxis{"ValueAxis"};
inline constexpr QLatin1StringView CategoryAxisSec{"CategoryAxisSec"};
inline constexpr QLatin1StringView ValueAxisSec{"ValueAxisSec"};
inline constexpr QLatin1StringView Control{"Control"};
// An axis' own texts, "<axis>.Title" and "<axis>.Unit".
inline constexpr QLatin1StringView AxisTitle{"Title"};
inline constexpr QLatin1StringView AxisUnit{"Unit"};
// "Series1" .. "Series999".
inline constexpr QLatin1StringView SeriesPrefix{"Series"};
} // namespace element

namespace attribute {
inline constexpr QLatin1StringView ChartType{"ChartType"};
inline constexpr QLatin1StringView ColorPalette{"ColorPalette"};
inline constexpr QLatin1StringView BackgroundColor{"BackgroundColor"};
inline constexpr QLatin1StringView FontFamily{"FontFamily"};
inline constexpr QLatin1StringView FontSize{"FontSize"};
inline constexpr QLatin1StringView FontBold{"FontBold"};
inline constexpr QLatin1StringView Caption{"Caption"};
inline constexpr QLatin1StringView Visible{"Visible"};
inline constexpr QLatin1StringView Color{"Color"};
inline constexpr QLatin1StringView Position{"Position"};
inline constexpr QLatin1StringView Minimum{"Minimum"};
inline constexpr QLatin1StringView Maximum{"Maximum"};
inline constexpr QLatin1StringView GridLines{"GridLines"};
inline constexpr QLatin1StringView NumberFormat{"NumberFormat"};
inline constexpr QLatin1StringView LineWidth{"LineWidth"};
inline constexpr QLatin1StringView Version{"Version"};
inline constexpr QLatin1StringView UseNewCustomizing{"UseNewCustomizing"};
inline constexpr QLatin1StringView HideProperties{"HideProperties"};
inline constexpr QLatin1StringView HidePoints{"HidePoints"};
} // namespace attribute

} // namespace vizorb
