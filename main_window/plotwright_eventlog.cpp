#include "plotwright.h"

// Placeholder bodies until the event log is built.
void Plotwright::ctrlChart_MouseDown(std::int16_t&, platform::Variant&, float&, float&) {}
void Plotwright::ctrlChart_MouseUp(std::int16_t&, platform::Variant&, float&, float&) {}
void Plotwright::ctrlChart_ObjectClicked(const QString&, std::int16_t, std::int16_t) {}
void Plotwright::ctrlChart_ValueChanged(const QString&, std::int16_t, std::int16_t, const platform::Variant&, double) {}
void Plotwright::ctrlChart_PropertyChanged(const QString&, const QString&, const QString&) {}
