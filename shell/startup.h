#pragma once

#include "variants/deliverable.h"

// Runs the program: the start-up window as the start object, then the event loop.
int runPlotwright(int argc, char** argv, const Deliverable& deliverable);
