#pragma once

#include "variants/deliverable.h"

// Runs the program: the start-up window as the start object, then the event loop.
int runPlotwright(int argc, char** argv, const Deliverable& deliverable);

// A write beyond the file-size limit then fails (EFBIG) and is reported like
// any failed write, instead of the signal ending the program with all unsaved
// work. Done once, first thing, by runPlotwright.
void ignoreFileSizeSignal();
