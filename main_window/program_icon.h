#pragma once

#include <QIcon>

// The program icon: 48 x 48, 32 x 32 and 16 x 16 images, used by the main
// window and the About window.
QIcon programIcon();
