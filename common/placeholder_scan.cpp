// placeholder_scan: see placeholder_scan.h.
#include "common/placeholder_scan.h"

#include <algorithm>

#include "common/text_rules.h"

namespace va {
namespace {

struct Resolved {
  bool found = false;
  std::string value;
  ScanResume resume = ScanResume::Restart;
};

Resolved Resolve(const PlaceholderRules& rules, const std::string& name) {
  Resolved result;
  if (name.empty()) return result;  // "%%" names nothing
  const std::string upper = UpperCaseText(name);
  for (const KnownPlaceholder& known : rules.known) {
    if (upper == known.name) {
      result.found = true;
      result.resume = known.resume;
      if (known.value) result.value = known.value();
      return result;
    }
  }
  if (rules.environment) {
    result.value = rules.environment(name);
    result.found = !result.value.empty();
    result.resume = ScanResume::Restart;
  }
  return result;
}

// Replaces every occurrence of `spelled` by `value`; refuses (and changes nothing)
// when the result would grow beyond kMaxExpandedLength.
bool ReplaceAll(std::string& text, const std::string& spelled, const std::string& value) {
  size_t count = 0;
  for (size_t at = text.find(spelled); at != std::string::npos; at = text.find(spelled, at + spelled.size())) {
    ++count;
  }
  if (value.size() > spelled.size()) {
    const size_t growth = value.size() - spelled.size();
    if (growth > (kMaxExpandedLength - std::min(text.size(), kMaxExpandedLength)) / count) return false;
  }
  std::string result;
  result.reserve(text.size() - count * spelled.size() + count * value.size());
  size_t copied = 0;
  for (size_t at = text.find(spelled); at != std::string::npos; at = text.find(spelled, at + spelled.size())) {
    result.append(text, copied, at - copied);
    result += value;
    copied = at + spelled.size();
  }
  result.append(text, copied, std::string::npos);
  text.swap(result);
  return true;
}

}  // namespace

void ExpandPlaceholders(std::string& text, const PlaceholderRules& rules) {
  std::vector<std::string> replaced;  // spellings already expanded in this call
  size_t from = 0;
  for (;;) {
    const size_t open = text.find('%', from);
    if (open == std::string::npos) return;
    const size_t close = text.find('%', open + 1);
    if (close == std::string::npos) return;
    const std::string spelled = text.substr(open, close - open + 1);
    from = close + 1;  // unless a replacement says otherwise
    if (replaced.size() >= kMaxReplacements) return;
    if (std::find(replaced.begin(), replaced.end(), spelled) != replaced.end()) continue;
    const Resolved resolved = Resolve(rules, spelled.substr(1, spelled.size() - 2));
    if (!resolved.found) continue;
    replaced.push_back(spelled);  // a refused replacement would be refused again
    if (!ReplaceAll(text, spelled, resolved.value)) continue;
    if (resolved.resume == ScanResume::Restart) from = 0;
  }
}

}  // namespace va
