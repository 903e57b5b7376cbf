#pragma once
// The program's pictures, drawn for it and kept as resources, by list and position.

#include <QIcon>

namespace quarrow::Images {

// imgEntities: one 16 x 16 image per entity kind, in kind order (0 to 11).
QIcon EntityKind(int kind);
// imgPop: 0 select all, 1 select none, 2 expand, 3 collapse, 4 DXF data item, 5 custom item.
QIcon Pop(int index);
// ImageList1: 0 load, 1 save, 2 process, 3 spare, 4 exit, 5 show log (24 x 24).
QIcon Toolbar(int index);
// itabs: one 24 x 24 image per tab.
QIcon Tab(int index);
// istat: the status bar's 16 x 16 image.
QIcon Status();
QIcon MoveUp();
QIcon MoveDown();
QIcon Window();
QIcon Options();  // the 32 x 32 picture of the options tab
QIcon Help();     // the help button's 32 x 32 image

}  // namespace quarrow::Images
