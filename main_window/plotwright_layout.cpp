#include "plotwright.h"

// Placeholder bodies until the layout is built.
void Plotwright::Form_Resize() {}
void Plotwright::ToggleEventList() {}
