// One loadable library per release, from this one source; VIZORB_RELEASE
// names the release this library reports.
#include "vizorb/control.h"

extern "C" __attribute__((visibility("default"))) platform::Control* plotwrightCreateControl()
{
    return new vizorb::VizorbControl(QStringLiteral(VIZORB_RELEASE));
}
