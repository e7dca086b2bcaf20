// options_rules: the portable rules of the options dialog and its pages.
#pragma once

namespace va {

inline constexpr int kOptionsPageFirst = 201;
inline constexpr int kOptionsPageLast = 206;

bool IsOptionsPage(int pageId);
// The page a dialog opens on: `requested` when it is one of the six pages, else 201.
int ChooseOptionsPage(int requested);

}  // namespace va
