#pragma once

#include "vizorb/model/chart_model.h"

namespace vizorb {

// Reads chart data XML (format in README.md); `text` is decoded already.
// False with a message naming the line and column on any fault; `data` is
// only written on success.
bool readDataXml(const QString& text, ChartData* data, QString* error);

// The data as XML in the same format, ISO-8859-1 with character references.
QString writeDataXml(const ChartData& data);

// The data as a tab-separated table: a header line of series names, then one
// line per point with its label and values (a missing value is empty).
QString dataText(const ChartData& data);

} // namespace vizorb
