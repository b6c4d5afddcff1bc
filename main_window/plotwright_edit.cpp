#include "plotwright.h"

// Placeholder bodies until the Edit menu and developer commands are built.
void Plotwright::mnuEditCopyImage_Click() {}
void Plotwright::mnuEditCopyCustomizing_Click() {}
void Plotwright::CopyDataToClipboard() {}
void Plotwright::mnuHelpAbout_Click() {}
void Plotwright::AddTestEntry() {}
void Plotwright::ToggleMode12() {}
void Plotwright::ToggleMode9() {}
void Plotwright::ToggleMode11() {}
void Plotwright::SetAxisTitles() {}
void Plotwright::ListAxisTitles() {}
void Plotwright::ApplyHideProperties() {}
void Plotwright::ApplyHidePoints() {}
void Plotwright::SetLanguageDE() {}
void Plotwright::SetLanguageEN() {}
void Plotwright::ShowHelpContents() {}
void Plotwright::ShowComponentVersion() {}
