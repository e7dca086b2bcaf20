// Fuzzes the reading of the host's row texts: any row, any cell number; a cell is
// always a separator-free piece of the row, and the speed rule reads any cell.
#include "extension/accelerator/accelerator_engine.h"
#include "extension/accelerator/row_cell.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 4) return 0;
  int32_t cell;
  std::memcpy(&cell, data, 4);
  const std::string row(reinterpret_cast<const char*>(data) + 4, size - 4);
  const std::string_view piece = va::RowCell(row, cell % 64);
  Require(piece.empty() || (piece.data() >= row.data() && piece.data() + piece.size() <= row.data() + row.size()));
  Require(piece.find(va::kRowCellSeparator) == std::string_view::npos);
  // No cell of fewer than eight characters reads as more than 42949672.95 KB/s.
  Require(!(va::SpeedAbove(piece, 0xFFFFFFFFu) && piece.size() < 8));
  return 0;
}
