#pragma once

#include "platform/dispatch.h"

// The members of the hosted components as the program uses them: one named
// constant for each dispatch identifier and event index.
namespace chart {
using platform::DispId;
inline constexpr DispId Language = 8;
inline constexpr DispId Mode9 = 9;
inline constexpr DispId Mode11 = 11;
inline constexpr DispId Mode12 = 12;
inline constexpr DispId UpdateEnabled = 13;
inline constexpr DispId ChartPicture = 14;
inline constexpr DispId DataText = 15;
inline constexpr DispId SetAttribute = 16;
inline constexpr DispId GetAttribute = 17;
inline constexpr DispId ResetWizard = 19;
inline constexpr DispId GoToWizardStep = 20;
inline constexpr DispId FinishWizard = 21;
inline constexpr DispId LoadDataXml = 22;
inline constexpr DispId GetDataXml = 23;
inline constexpr DispId LoadCustomizingXml = 24;
inline constexpr DispId GetCustomizingXml = 25;
inline constexpr DispId LastErrorText = 26;
inline constexpr DispId SetChartTypes = 27;
inline constexpr DispId PrintChart = 29;
inline constexpr DispId TemplateFile = 33;
inline constexpr DispId AddEntry = 34;

// Event indices.
inline constexpr int MouseDown = 9;
inline constexpr int MouseUp = 11;
inline constexpr int ObjectClicked = 12;
inline constexpr int ValueChanged = 13;
inline constexpr int PropertyChanged = 14;
} // namespace chart

namespace common_dialog {
using platform::DispId;
inline constexpr DispId FileName = 1;
inline constexpr DispId Filter = 3;
inline constexpr DispId DefaultExt = 4;
inline constexpr DispId ShowOpen = 30;
inline constexpr DispId ShowSave = 31;
} // namespace common_dialog
