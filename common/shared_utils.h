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

// Size of exactly the file `path` in bytes (no wildcards), or -1 when it is not
// a file that can be opened.
int64_t QueryFileSize(const std::string& path);

// Puts `text` on the clipboard as CF_TEXT, waiting about a second for a clipboard
// that another program holds; false when it stayed busy (nothing was put).
bool SetClipboardText(const std::string& text);

}  // namespace va
