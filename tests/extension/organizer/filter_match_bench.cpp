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

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::string> MakeFilterStrings() {
  const char* kinds[] = {"*.MP3; *.OGG", "*.AVI", "SONG?*.WAV", "*LIVE*", "A-B (*).*", "*.TXT;*.NFO;*.DIZ",
                         "REPORT ??.DOC", "*[1]*"};
  std::vector<std::string> filters;
  for (int i = 0; i < 64; ++i) filters.push_back(std::string(kinds[i % 8]) + ";X" + std::to_string(i) + "*.BIN");
  return filters;
}

std::vector<std::string> MakeNames(int count) {
  std::mt19937 random(42);
  const char* exts[] = {".MP3", ".OGG", ".AVI", ".TXT", ".ZIP", ".DOC", ".BIN", ""};
  std::vector<std::string> names;
  for (int i = 0; i < count; ++i) {
    std::string name;
    int length = 4 + static_cast<int>(random() % 28);
    for (int k = 0; k < length; ++k) name += "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -_"[random() % 39];
    names.push_back(name + exts[random() % 8]);
  }
  return names;
}

}  // namespace

int main() {
  std::vector<std::string> filters = MakeFilterStrings();
  std::vector<std::string> names = MakeNames(100000);

  std::vector<va::FilterPattern> compiled;
  std::vector<std::regex> regexes;
  for (const std::string& f : filters) {
    std::string pattern = va::FilterStringToPattern(f);
    compiled.emplace_back(pattern);
    regexes.emplace_back(pattern);
  }

  auto start = Clock::now();
  long hits = 0;
  for (const std::string& name : names) {
    for (const va::FilterPattern& p : compiled) hits += p.MatchesWhole(name);
  }
  double ours = SecondsSince(start);
  std::printf("64 filters x 100000 names, compiled once: organizer matcher %.3f s (%ld matches)\n", ours, hits);

  start = Clock::now();
  long regexHits = 0;
  for (const std::string& name : names) {
    for (const std::regex& r : regexes) regexHits += std::regex_match(name, r);
  }
  const double regexSeconds = SecondsSince(start);
  std::printf("64 filters x 100000 names, compiled once: std::regex        %.3f s (%ld matches)\n", regexSeconds,
              regexHits);
  std::printf("ratio: std::regex takes %.1fx the organizer matcher's time\n", regexSeconds / ours);

  start = Clock::now();
  long perCall = 0;
  va::FilterMatcher matcher;
  for (const std::string& name : names) {
    for (const std::string& f : filters) perCall += matcher.Matches(name, f);
  }
  std::printf("64 filters x 100000 names, a FilterMatcher with filter strings: %.3f s (%ld matches)\n",
              SecondsSince(start), perCall);

  std::string pathological = va::FilterStringToPattern("*a*a*a*a*a*a*a*a*a*b");
  va::FilterPattern slowCase(pathological);
  std::string as(200, 'A');
  start = Clock::now();
  bool matched = slowCase.MatchesWhole(as);
  std::printf("%s against 200 x A: organizer matcher %.6f s (match: %d)\n", pathological.c_str(),
              SecondsSince(start), matched);
  std::regex slowRegex(pathological);
  for (int length : {12, 16, 20, 24, 28}) {
    start = Clock::now();
    bool m = std::regex_match(std::string(length, 'A'), slowRegex);
    std::printf("  std::regex against %d x A: %.3f s (match: %d)\n", length, SecondsSince(start), m);
    if (SecondsSince(start) > 20) break;
  }
  return hits == regexHits ? 0 : 1;
}
