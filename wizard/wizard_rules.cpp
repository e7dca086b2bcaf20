// wizard_rules: see wizard_rules.h.
#include "wizard/wizard_rules.h"

#include <cstdio>

namespace va {
namespace {

constexpr uint32_t kUnlimitedUpload = 0xFFFFFFFF;

// `numerator` / `denominator` with exactly two decimals, halves rounded up.
std::string TwoDecimals(uint64_t numerator, uint64_t denominator) {
  // Whole part and hundredths separately, so no 64-bit numerator overflows (the
  // denominator is at most 2^40, so the rest times 200 fits).
  const uint64_t whole = numerator / denominator;
  const uint64_t rest = numerator % denominator;
  uint64_t hundredths = (rest * 200 + denominator) / (2 * denominator);
  uint64_t units = whole;
  if (hundredths >= 100) {
    units += 1;
    hundredths -= 100;
  }
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%llu.%02llu", static_cast<unsigned long long>(units),
                static_cast<unsigned long long>(hundredths));
  return buffer;
}

std::string Count(uint32_t value, std::string_view dash) {
  if (value == kUnsetProfileValue) return std::string(dash);
  return std::to_string(value);
}

}  // namespace

NameFilterResult FilterNameText(std::string_view text) {
  NameFilterResult result;
  for (char c : text) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (c == ' ') {
      result.text += '_';
      result.changed = true;
    } else if (byte >= '!' && byte <= '~' && c != '@') {
      result.text += c;
    } else {
      result.dropped = true;
      result.changed = true;
    }
  }
  return result;
}

bool IsDriveOrNetworkPath(std::string_view path) {
  // Wildcards would let a search match some other folder ("C:\Win*"); these
  // characters never stand in a folder's name.
  if (path.find_first_of("*?\"<>|") != std::string_view::npos) return false;
  if (path.size() >= 3 && path[1] == ':' && path[2] == '\\') return true;
  return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

std::string FormatByteSize(uint64_t bytes) {
  static const char* const kUnits[] = {"Bytes", "KB", "MB", "GB", "TB"};
  constexpr int kLastUnit = 4;
  uint64_t value = bytes;
  int unit = 0;
  // Beyond TB the count stays in TB rather than running past the unit names.
  while (value > 512 && unit < kLastUnit) {
    value /= 1024;
    ++unit;
  }
  return TwoDecimals(bytes, uint64_t{1} << (10 * unit)) + " " + kUnits[unit];
}

std::string ReplaceEvery(std::string_view text, std::string_view from, std::string_view to) {
  std::string result;
  if (from.empty()) return std::string(text);
  size_t copied = 0;
  for (size_t at = text.find(from); at != std::string_view::npos; at = text.find(from, at + from.size())) {
    result.append(text.substr(copied, at - copied));
    result.append(to);
    copied = at + from.size();
  }
  result.append(text.substr(copied));
  return result;
}

std::string BuildConnectionSummary(std::string_view summaryTemplate, const ConnectionProfile& profile,
                                   std::string_view dash, std::string_view unlimited) {
  const uint32_t upload = profile.values[0];
  std::string speed;
  if (upload == kUnsetProfileValue) speed = dash;
  else if (upload == 0 || upload == kUnlimitedUpload) speed = unlimited;
  else speed = TwoDecimals(upload, 100) + " KB/s";
  std::string text = ReplaceEvery(summaryTemplate, "%ul%", Count(profile.values[2], dash));
  text = ReplaceEvery(text, "%us%", speed);
  text = ReplaceEvery(text, "%dl%", Count(profile.values[1], dash));
  return ReplaceEvery(text, "%sd%", Count(profile.values[5], dash));
}

uint32_t UploadBandwidthValue(uint32_t hundredthsKbPerSecond) {
  if (hundredthsKbPerSecond == kUnlimitedUpload) return 0;
  return static_cast<uint32_t>((static_cast<uint64_t>(hundredthsKbPerSecond) * 8 + 50) / 100);
}

std::vector<PlannedWrite> PlanWizardSettings(std::string_view userAtNetwork, std::string_view sharedFolder,
                                             const ConnectionProfile& profile) {
  struct ValueTarget {
    WriteRoot root;
    const char* key;
    const char* name;
  };
  static const ValueTarget kTargets[kProfileValueCount] = {
      {WriteRoot::CurrentUser, "SOFTWARE\\Vexlo\\Transfer", "UploadBandwidth"},
      {WriteRoot::CurrentUser, "SOFTWARE\\Vexlo\\Transfer", "ConcurrentDownloads"},
      {WriteRoot::CurrentUser, "SOFTWARE\\Vexlo\\Transfer", "ConcurrentUploads"},
      {WriteRoot::CurrentUser, "SOFTWARE\\Vexlo\\LocalContent", "DisableSharing"},
      {WriteRoot::CurrentUser, "SOFTWARE\\Vexlo\\Advanced", "SuperNode"},
      {WriteRoot::SharedSwitch, "SOFTWARE\\V++", "MaxFileSources"},
      {WriteRoot::SharedSwitch, "SOFTWARE\\V++", "FindMoreSourcesTimeLimit"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "CyclesDelay"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "ItemDelay"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "SkipPaused"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "SkipQueued"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "SkipBySpeed"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "MinSpeed"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "KeepDownloads"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "NumDownloadsMin"},
      {WriteRoot::CurrentUser, "SOFTWARE\\VAExtensions\\Accelerator", "NumDownloadsMax"},
  };
  std::vector<PlannedWrite> writes;
  const size_t at = userAtNetwork.find('@');
  const std::string_view user = userAtNetwork.substr(0, at);
  const std::string_view network = at == std::string_view::npos ? std::string_view() : userAtNetwork.substr(at + 1);
  writes.push_back({WriteRoot::CurrentUser, "SOFTWARE\\Vexlo\\UserDetails", "UserName", true, std::string(user)});
  writes.push_back({WriteRoot::SharedSwitch, "SOFTWARE\\V++", "NetworkName", true, std::string(network)});
  writes.push_back(
      {WriteRoot::CurrentUser, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir", true, std::string(sharedFolder)});
  for (size_t i = 0; i < kProfileValueCount; ++i) {
    const uint32_t value = profile.values[i];
    if (value == kUnsetProfileValue) continue;
    const ValueTarget& target = kTargets[i];
    writes.push_back({target.root, target.key, target.name, false, std::string(),
                      i == 0 ? UploadBandwidthValue(value) : value});
  }
  return writes;
}

}  // namespace va
