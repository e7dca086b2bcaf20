// row_cell: cutting one cell out of the host's download row text (cells joined
// by the byte 0xB6). Portable core: the guarded read of the text is elsewhere.
#pragma once
#include <string_view>

namespace va {

inline constexpr char kRowCellSeparator = static_cast<char>(0xB6);

// Cell number `cell` (counted from 1) of `rowText`: the text between the
// (cell-1)-th and the cell-th separator. A cell beyond the last separator, or a
// cell number below 1, reads as empty. The result points into `rowText`.
std::string_view RowCell(std::string_view rowText, int cell);

}  // namespace va
