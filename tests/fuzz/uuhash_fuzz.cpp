// Fuzzes the UUHash read plan for any file size (sizes come from outside files
// and reach past 4 GiB): at most 46 reads, each inside the file and inside one
// block, the first at the start and the last ending at the file's end.
#include "extension/quicklinks/uuhash.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint64_t fileSize = 0;
  std::memcpy(&fileSize, data, size < 8 ? size : 8);
  const std::vector<va::UUHashRead> plan = va::PlanUUHashReads(fileSize);
  Require(plan.size() <= 46 && (fileSize > 0) == !plan.empty());
  for (const va::UUHashRead& read : plan)
    Require(read.length > 0 && read.length <= va::kUUHashBlockSize && read.position < fileSize &&
            read.length <= fileSize - read.position);
  Require(plan.empty() || (plan[0].position == 0 && plan.back().position + plan.back().length == fileSize));
  return 0;
}
