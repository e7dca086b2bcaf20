// filter_match_bench: prints how fast the organizer's matcher is, beside
// std::regex (ECMAScript, backtracking) on the same patterns. A program to run by
// hand, not a test:  build/native/tests/extension/organizer/filter_match_bench
#include <chrono>
#include <cstdio>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "extension/organizer/filter_pattern.h"

int main() {
  auto Timed = [](auto work) {  // seconds that `work` takes
    auto start = std::chrono::steady_clock::now();
    return work(), std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  };
  const char* kinds[] = {"*.MP3; *.OGG", "*.AVI", "SONG?*.WAV", "*LIVE*", "A-B (*).*", "*.TXT;*.NFO;*.DIZ",
                         "REPORT ??.DOC", "*[1]*"};
  const char* exts[] = {".MP3", ".OGG", ".AVI", ".TXT", ".ZIP", ".DOC", ".BIN", ""};
  std::vector<std::string> filters, names(100000);
  std::vector<va::FilterPattern> compiled;
  std::vector<std::regex> regexes;
  for (int i = 0; i < 64; ++i) {
    filters.push_back(std::string(kinds[i % 8]) + ";X" + std::to_string(i) + "*.BIN");
    compiled.emplace_back(va::FilterStringToPattern(filters.back()));
    regexes.emplace_back(va::FilterStringToPattern(filters.back()));
  }
  std::mt19937 random(42);
  for (std::string& name : names) {
    for (int k = 4 + static_cast<int>(random() % 28); k > 0; --k) name += "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_"[random() % 39];
    name += exts[random() % 8];
  }
  long hits = 0, regexHits = 0, perCall = 0;
  va::FilterMatcher matcher;
  double ours = Timed([&] { for (auto& n : names) for (auto& p : compiled) hits += p.MatchesWhole(n); });
  double theirs = Timed([&] { for (auto& n : names) for (auto& r : regexes) regexHits += std::regex_match(n, r); });
  double viaMatcher = Timed([&] { for (auto& n : names) for (auto& f : filters) perCall += matcher.Matches(n, f); });
  std::printf("64 filters x 100000 names, compiled once: organizer matcher %.3f s (%ld matches)\n", ours, hits);
  std::printf("64 filters x 100000 names, compiled once: std::regex        %.3f s (%ld matches)\n", theirs, regexHits);
  std::printf("ratio: std::regex takes %.1fx the organizer matcher's time\n", theirs / ours);
  std::printf("64 filters x 100000 names, a FilterMatcher with filter strings: %.3f s (%ld matches)\n", viaMatcher,
              perCall);

  const std::string pathological = va::FilterStringToPattern("*a*a*a*a*a*a*a*a*a*b");
  va::FilterPattern slow(pathological);
  bool matched = false;
  double seconds = Timed([&] { matched = slow.MatchesWhole(std::string(200, 'A')); });
  std::printf("%s against 200 x A: organizer matcher %.6f s (match: %d)\n", pathological.c_str(), seconds, matched);
  std::regex slowRegex(pathological);
  for (int length = 12; length <= 28 && seconds <= 20; length += 4) {
    seconds = Timed([&] { matched = std::regex_match(std::string(length, 'A'), slowRegex); });
    std::printf("  std::regex against %d x A: %.3f s (match: %d)\n", length, seconds, matched);
  }
  return hits == regexHits && hits == perCall ? 0 : 1;
}
