// Fuzzes the rules that take a number from outside. The UUHash read plan for any
// file size (sizes come from outside files and reach past 4 GiB): at most 46
// reads, each inside the file and inside one block, the first at the start and
// the last ending at the file's end. The reading of the host's row texts for any
// row and cell number: a cell is always a separator-free piece of the row, and
// the speed rule reads any cell.
#include "extension/accelerator/accelerator_engine.h"
#include "extension/accelerator/row_cell.h"
#include "extension/quicklinks/uuhash.h"
#include "fuzz_input.h"

void Fuzz(const uint8_t* data, size_t size) {
  // The first eight bytes are the file size, the first four the cell number and
  // the rest the row.
  uint64_t fileSize = 0;
  std::memcpy(&fileSize, data, std::min<size_t>(size, 8));
  const std::vector<va::UUHashRead> plan = va::PlanUUHashReads(fileSize);
  Require(plan.size() <= 46 && (fileSize > 0) == !plan.empty());
  for (const va::UUHashRead& read : plan)
    Require(read.length > 0 && read.length <= va::kUUHashBlockSize && read.position < fileSize &&
            read.length <= fileSize - read.position);
  Require(plan.empty() || (plan[0].position == 0 && plan.back().position + plan.back().length == fileSize));
  const size_t skip = std::min<size_t>(size, 4);
  const std::string row(reinterpret_cast<const char*>(data) + skip, size - skip);
  const std::string_view piece = va::RowCell(row, int32_t(fileSize) % 64);
  Require(piece.empty() || (piece.data() >= row.data() && piece.data() + piece.size() <= row.data() + row.size()));
  Require(piece.find(va::kRowCellSeparator) == std::string_view::npos);
  // No cell of fewer than eight characters reads as more than 42949672.95 KB/s.
  Require(!(va::SpeedAbove(piece, 0xFFFFFFFFu) && piece.size() < 8));
}
