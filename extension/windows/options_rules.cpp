// options_rules: see options_rules.h.
#include "extension/windows/options_rules.h"

namespace va {

bool IsOptionsPage(int pageId) { return pageId >= kOptionsPageFirst && pageId <= kOptionsPageLast; }

int ChooseOptionsPage(int requested) { return IsOptionsPage(requested) ? requested : kOptionsPageFirst; }

}  // namespace va
