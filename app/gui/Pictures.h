#pragma once

// The program's pictures: SVG drawings compiled into the program (see
// app/gui/pictures/), rendered at the size and pixel density they are shown.

#include <QIcon>
#include <QPixmap>
#include <QSize>

namespace quenlo::gui {

// The picture `name` (the file name without ".svg"), at `size` logical
// pixels (its own size when empty). A null pixmap for an unknown name.
QPixmap Picture(const char* name, QSize size = {});

// The image list imgMenu of the group bar and the Shred list's context
// menu; an empty icon for an index it does not hold.
QIcon MenuIcon(int index);

// The image list ImageList1 of the wizard's log: 0 information, 1 warning.
QIcon LogIcon(int index);

}  // namespace quenlo::gui
