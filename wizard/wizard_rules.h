// wizard_rules: the wizard's decisions that need no window: the name filter, the
// shared-folder form test, size and speed texts, the connection summary, and the
// list of registry writes the finish step makes. Portable core.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wizard/metadata.h"

namespace va {

// The user and network name filter: keeps "!" to "~" except "@", turns blanks
// into "_", drops everything else.
struct NameFilterResult {
  std::string text;
  bool dropped = false;  // a character was dropped: the edit beeps
  bool changed = false;  // dropped or turned: the edit takes the filtered text back
};
NameFilterResult FilterNameText(std::string_view text);

// A drive path ("X:\...") or a network path ("\\...") without wildcards or
// other characters that no folder name holds (* ? " < > |).
bool IsDriveOrNetworkPath(std::string_view path);

// "512.00 Bytes", "0.50 KB", "1.50 GB": two decimals and the largest unit (up to
// TB) that keeps the number from exceeding 512 before the last division.
std::string FormatByteSize(uint64_t bytes);

// The connection page's summary: the template with %ul%, %us%, %dl% and %sd%
// replaced from the profile values; `dash` for unset values, `unlimited` for an
// upload speed of 0 or 0xFFFFFFFF.
std::string BuildConnectionSummary(std::string_view summaryTemplate, const ConnectionProfile& profile,
                                   std::string_view dash, std::string_view unlimited);

// Replaces every occurrence of `from` in `text` by `to`.
std::string ReplaceEvery(std::string_view text, std::string_view from, std::string_view to);

// The upload bandwidth the host stores (KB/s x 8) for a profile's upload value in
// hundredths of a KB/s; 0 for 0xFFFFFFFF (unlimited).
uint32_t UploadBandwidthValue(uint32_t hundredthsKbPerSecond);

// One registry write of the wizard.
enum class WriteRoot { CurrentUser, LocalMachine, SharedSwitch };
struct PlannedWrite {
  WriteRoot root;
  const char* key;
  const char* name;
  bool isText;
  std::string text;
  uint32_t number = 0;
};

// The writes of the finish step's user settings, in order: user name, network
// name, shared folder, then the profile values 0 to 15, skipping unset ones.
std::vector<PlannedWrite> PlanWizardSettings(std::string_view userAtNetwork, std::string_view sharedFolder,
                                             const ConnectionProfile& profile);

}  // namespace va
