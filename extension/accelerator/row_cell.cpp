// row_cell: cutting one cell out of the host's download row text.
#include "extension/accelerator/row_cell.h"

namespace va {

std::string_view RowCell(std::string_view rowText, int cell) {
  if (cell < 1) return {};
  size_t start = 0;
  for (int n = 1; n < cell; ++n) {
    const size_t separator = rowText.find(kRowCellSeparator, start);
    if (separator == std::string_view::npos) return {};
    start = separator + 1;
  }
  const size_t end = rowText.find(kRowCellSeparator, start);
  return rowText.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace va
