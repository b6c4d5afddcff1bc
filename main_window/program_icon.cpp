#include "program_icon.h"

// Placeholder until the icon artwork exists.
QIcon programIcon() { return {}; }
