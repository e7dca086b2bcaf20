// Fuzzes the row-text cell cutter and the speed rule: any row text, any cell
// number; a cell is always a separator-free piece of the row.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "extension/accelerator/accelerator_engine.h"
#include "extension/accelerator/row_cell.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  int32_t cell;
  std::memcpy(&cell, data, 4);
  std::string row(reinterpret_cast<const char*>(data + 4), size - 4);
  const std::string_view piece = va::RowCell(row, cell % 64);
  if (!piece.empty()) {
    if (piece.data() < row.data() || piece.data() + piece.size() > row.data() + row.size()) std::abort();
    if (piece.find(va::kRowCellSeparator) != std::string_view::npos) std::abort();
  }
  uint32_t minSpeed = 0;
  std::memcpy(&minSpeed, data, 4);
  if (va::SpeedAbove(piece, minSpeed) && minSpeed == 0xFFFFFFFFu && piece.size() < 8) std::abort();
  if (va::FormatSpeedHundredths(minSpeed).size() > 12) std::abort();
  return 0;
}
