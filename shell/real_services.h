#pragma once

#include "platform/services.h"
#include "variants/deliverable.h"

// Wires the real platform services for the program. Call once, after the
// QApplication exists; the objects behind the services live until the
// program ends.
void wireRealServices(platform::Services& services, const Deliverable& deliverable);
