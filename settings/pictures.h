// The settings program's pictures, drawn at start from small pixel maps so
// that no image files need to ship.
#pragma once
#include "picture_ids.h"
#include "win.h"

namespace fw {

// 16 x 16 icons, made on first use and kept until the program ends.
HICON PictureIcon(Picture p);
// The same picture greyed, for a disabled button.
HICON DisabledPictureIcon(Picture p);
// The program's icon at 16 or 32 pixels.
HICON ProgramIcon(int size);

}  // namespace fw
