// temp_folder: a fresh folder under the system's temporary folder for one test,
// removed with its contents afterwards.
#pragma once
#include <string>

namespace va::test {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string Join(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  std::string path_;
};

// Writes `bytes` to a new file at `path`.
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool FolderExists(const std::string& path);

}  // namespace va::test
