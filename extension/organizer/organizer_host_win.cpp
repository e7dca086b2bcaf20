// organizer_host_win: what the organizer takes from the module's attach state.
#include "extension/core/module_state.h"
#include "extension/organizer/organizer.h"

namespace va {

HWND OrganizerOwnerWindow() { return HostMainWindow; }
const char* OrganizerCaption() { return CaptionText; }

}  // namespace va
