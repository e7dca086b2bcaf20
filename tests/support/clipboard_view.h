// clipboard_view: reads what the clipboard holds as text, for tests.
#pragma once
#include <string>

namespace va::test {

// The clipboard's CF_TEXT, empty when it holds none; "<clipboard busy>" when it
// cannot be opened.
std::string ClipboardText();

}  // namespace va::test
