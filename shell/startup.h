#pragma once

#include "platform/services.h"
#include "variants/deliverable.h"

// Runs the program: the start-up sequence, then the event loop.
int runPlotwright(int argc, char** argv, const Deliverable& deliverable);
