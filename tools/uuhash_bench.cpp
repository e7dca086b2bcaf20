// uuhash_bench: measures the MD5 throughput of the portable core beside the
// system's md5sum on the same data, and the UUHash of many large files. A
// benchmark to run by hand (scripts/bench.sh), not a test: it prints numbers.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "extension/quicklinks/md5.h"
#include "extension/quicklinks/uuhash.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Hex(const va::Md5Digest& digest) {
  std::string text;
  char pair[3];
  for (uint8_t b : digest) {
    std::snprintf(pair, sizeof pair, "%02x", b);
    text += pair;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::temp_directory_path() / "uuhash_bench";
  const size_t megabytes = argc > 2 ? size_t(std::atoi(argv[2])) : 512;
  const int files = argc > 3 ? std::atoi(argv[3]) : 200;
  std::filesystem::create_directories(folder);

  // 1. MD5 in memory.
  std::vector<uint8_t> data(megabytes << 20);
  uint32_t x = 2463534242u;
  for (auto& b : data) {
    x ^= x << 13, x ^= x >> 17, x ^= x << 5;
    b = uint8_t(x);
  }
  auto start = Clock::now();
  const std::string ours = Hex(va::ComputeMd5(data.data(), data.size()));
  const double memorySeconds = SecondsSince(start);
  std::printf("MD5, portable core, %zu MiB in memory: %.2f s, %.0f MiB/s\n", megabytes, memorySeconds,
              double(megabytes) / memorySeconds);

  // 2. The same data from a file: the core (1 MiB reads) and md5sum.
  const std::filesystem::path dataFile = folder / "md5_data.bin";
  {
    std::ofstream out(dataFile, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
  }
  double coreFileSeconds = 0;
  start = Clock::now();
  {
    std::ifstream in(dataFile, std::ios::binary);
    std::vector<char> chunk(1 << 20);
    va::Md5 md5;
    while (in.read(chunk.data(), std::streamsize(chunk.size())) || in.gcount() > 0)
      md5.Update(reinterpret_cast<const uint8_t*>(chunk.data()), size_t(in.gcount()));
    const std::string fromFile = Hex(md5.Finish());
    const double seconds = SecondsSince(start);
    coreFileSeconds = seconds;
    std::printf("MD5, portable core, file (page cache): %.2f s, %.0f MiB/s%s\n", seconds, double(megabytes) / seconds,
                fromFile == ours ? "" : "  DIGEST MISMATCH");
  }
  const std::string command = "md5sum '" + dataFile.string() + "'";
  start = Clock::now();
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char line[256] = "";
    if (!std::fgets(line, sizeof line, pipe)) line[0] = '\0';
    pclose(pipe);
    const double seconds = SecondsSince(start);
    std::printf("md5sum, same file: %.2f s, %.0f MiB/s%s\n", seconds, double(megabytes) / seconds,
                std::string(line).substr(0, 32) == ours ? "" : "  DIGEST MISMATCH");
    std::printf("ratio: md5sum takes %.2fx the portable core's time on the same file\n", seconds / coreFileSeconds);
  }
  std::filesystem::remove(dataFile);

  // 3. UUHash of many large (sparse) files of 700 000 000 bytes each.
  std::vector<std::filesystem::path> paths;
  for (int i = 0; i < files; ++i) {
    paths.push_back(folder / ("large_" + std::to_string(i) + ".bin"));
    std::ofstream(paths.back(), std::ios::binary).put(char(i));
    std::filesystem::resize_file(paths.back(), 700000000);
  }
  start = Clock::now();
  size_t hashed = 0;
  for (const auto& path : paths) {
    va::UUHashValue value{};
    hashed += va::ComputeUUHash(path.string(), value);
  }
  const double seconds = SecondsSince(start);
  std::printf("UUHash, %zu files of 700000000 bytes (12 blocks, 3.5 MiB read each): %.2f s, %.1f ms per file\n",
              hashed, seconds, 1000.0 * seconds / double(files));
  // What an MD5 of all 700000000 bytes would cost at the in-memory rate measured above.
  const double wholeFileMd5 = memorySeconds * 700000000.0 / double(megabytes << 20);
  std::printf("ratio: a UUHash of a 700000000-byte file takes %.4fx the time of an MD5 of all its bytes (%.2f s)\n",
              seconds / double(files) / wholeFileMd5, wholeFileMd5);
  for (const auto& path : paths) std::filesystem::remove(path);
  return 0;
}
