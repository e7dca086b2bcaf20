// organizer_host_win: what the organizer takes from the module's attach state.
#include "extension/organizer/organizer.h"

namespace va {

HWND OrganizerOwnerWindow() { return nullptr; }
const char* OrganizerCaption() { return "VA Extensions"; }

}  // namespace va
