// shared_utils: small Win32 routines shared by the deliverables (folders, file
// sizes, the clipboard). The pure text routines are in text_rules.h.
#pragma once
#include <cstdint>
#include <string>

namespace va {

// Creates every folder along `path` (failures on the way, such as the drive or
// folders that exist, are passed over) and then the folder named by the whole
// path; succeeds only when that last creation does. A path ending in a separator
// names the folder before it: it succeeds when the walk created that folder.
bool CreateFolderPath(const std::string& path);

// Size of the file `path` in bytes, or -1 when nothing is found.
int64_t QueryFileSize(const std::string& path);

// Puts `text` on the clipboard as CF_TEXT; does nothing when the clipboard is busy.
void SetClipboardText(const std::string& text);

}  // namespace va
