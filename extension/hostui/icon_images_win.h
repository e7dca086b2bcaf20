// icon_images_win: icon and cursor handles made from the module's embedded images,
// and the tray's status icons (an icon with a coloured 5 x 5 square).
#pragma once
#include <windows.h>

#include <cstdint>

namespace va {

// A new 32 x 32 icon from the embedded status-window image; 0 when the image has
// no entry. The caller owns it.
HICON LoadStatusIcon();
// The drag cursor (hot spot 15, 15), made once and cached in DragCursor.
HCURSOR LoadDragCursor();
extern HCURSOR DragCursor;

// A new small icon (SM_CXSMICON x SM_CYSMICON): `icon` with a square of `colour`
// (0x00BBGGRR) in a black frame at its top-right corner. Icons without an alpha
// channel keep their mask; with one, their own transparency. 0 on failure.
HICON ComposeStatusIcon(HICON icon, COLORREF colour);

}  // namespace va
