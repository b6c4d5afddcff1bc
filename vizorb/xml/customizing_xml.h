#pragma once

#include "vizorb/model/chart_model.h"

namespace vizorb {

// Reads customizing XML (format in README.md), `text` decoded already, and
// applies what it names on top of `customizing`. False with a message naming
// line, column and element path on any fault; `customizing` is only written
// on success.
bool readCustomizingXml(const QString& text, Customizing* customizing, QString* error);

struct CustomizingOutput {
    bool complete = false;  // every attribute, defaults included; otherwise only what was set
    bool nested = true;     // "<CategoryAxis><Title .../></CategoryAxis>"; otherwise "<CategoryAxis.Title .../>"
    int seriesElements = 0; // with `complete`: write Series1..SeriesN at least
};

// The customizing as XML, ISO-8859-1 with character references.
QString writeCustomizingXml(const Customizing& customizing, const CustomizingOutput& output);

// Whether every form the writer puts out for `customizing` stays within what
// the reader takes (kMaxMarkupText); false with a message otherwise.
bool fitsReader(const Customizing& customizing, QString* error);

// Sets one attribute of a customizing value as SetAttribute does.
bool applyAttribute(Customizing* customizing, const QString& path, const QString& attribute, const QString& value,
                    QString* error);

} // namespace vizorb
