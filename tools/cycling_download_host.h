// cycling_download_host: a download list of many rows in mixed states behind the
// accelerator engine's ports, with a clock that only counts, so the engine runs a
// chosen number of whole cycles in no real time. Portable; used by the
// accelerator bench.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "extension/accelerator/accelerator_engine.h"

namespace va::test {

class CyclingDownloadHost : public DownloadListPort, public AcceleratorHostPort {
 public:
  // `rows` downloads whose states repeat the host's ten states in order; the
  // engine is asked to stop once `cycles` cycles have ended.
  CyclingDownloadHost(size_t rows, uint32_t cycles) : cycles_(cycles) {
    static const char* const kStates[] = {"Downloading", "Paused",    "Searching", "Completed", "Queued",
                                          "Connecting",  "Cancelled", "Failed",    "More sources needed",
                                          "Remotely queued"};
    for (size_t i = 0; i < rows; ++i) {
      const char* state = kStates[i % 10];
      texts_.push_back("Download " + std::to_string(i) + "\xB6" + state + "\xB6" + std::to_string(i % 70) +
                       ".5 KB/s");
    }
  }

  // Runs the engine over this list until the cycles are done.
  void Run(const AcceleratorSettings& settings) {
    AcceleratorEngine engine(*this, *this, settings, words_);
    engine.Run();
    searchingAtEnd_ = engine.searching().size();
  }

  uint32_t cyclesEnded() const { return ended_; }
  const std::vector<uint64_t>& commandsPerCycle() const { return perCycle_; }
  uint64_t textsShown() const { return texts_shown_; }
  int64_t fakeMilliseconds() const { return now_; }
  size_t searchingAtEnd() const { return searchingAtEnd_; }

  // DownloadListPort
  void ReadRows(std::vector<ListedRow>& rows, CellNumbers& cells) override {
    rows.clear();
    for (uintptr_t item = 1; item <= texts_.size(); ++item) rows.push_back({item, item * 16});
    cells = {1, 2, 3, 9};
  }
  bool ReadRow(const ListedRow& row, std::string& text, CellNumbers& cells) override {
    cells = {1, 2, 3, 9};
    return PeekText(row.data, text);
  }
  bool PeekText(uintptr_t data, std::string& text) override {
    text = texts_[data / 16 - 1];
    return true;
  }
  bool Act(const ListedRow&, std::initializer_list<uint16_t> commands, bool,
           const std::function<void()>& beforeCommands) override {
    if (beforeCommands) beforeCommands();
    for (uint16_t id : commands) Command(id);
    return true;
  }
  void Command(uint16_t) override {
    if (!perCycle_.empty()) ++perCycle_.back();
  }
  std::string StateName(DownloadState state) override {
    static const char* const kNames[] = {"Queued",    "Paused",    "Connecting", "Downloading", "More sources needed",
                                         "Searching", "Completed", "Cancelled",  "Failed",      "Remotely queued"};
    return kNames[static_cast<int>(state)];
  }

  // AcceleratorHostPort
  void Sleep(uint32_t milliseconds) override { now_ += milliseconds; }
  void WaitGate() override {}
  void ShowText(int, const std::string&) override { ++texts_shown_; }
  void StatusChanged() override {
    const uint32_t status = words_.status.load();
    if (status == kAcceleratorRunning) perCycle_.push_back(0);
    if (status == kAcceleratorIdle && lastStatus_ == kAcceleratorRunning && ++ended_ >= cycles_)
      words_.control = kAcceleratorStopRequested;
    lastStatus_ = status;
  }
  std::string Text(int) override { return "%S% %NUM% %SPD%"; }

 private:
  std::vector<std::string> texts_;
  AcceleratorWords words_;
  uint32_t cycles_ = 0, ended_ = 0, lastStatus_ = 0;
  std::vector<uint64_t> perCycle_;
  uint64_t texts_shown_ = 0;
  int64_t now_ = 0;
  size_t searchingAtEnd_ = 0;
};

}  // namespace va::test
