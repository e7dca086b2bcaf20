// scratch_registry: a registry key for one test, removed with everything below it
// when the test ends, so tests never see each other's values.
#pragma once
#include <windows.h>

#include <string>

namespace va::test {

class ScratchKey {
 public:
  // A fresh key "SOFTWARE\VATests\<name>" under `root`; anything left there by an
  // earlier run is removed first.
  ScratchKey(HKEY root, const std::string& name);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  HKEY root() const { return root_; }
  const char* path() const { return path_.c_str(); }
  std::string Sub(const std::string& relative) const { return path_ + "\\" + relative; }

 private:
  HKEY root_;
  std::string path_;
};

// Removes `subkey` of `root` and all its subkeys; missing keys are fine.
void DeleteTree(HKEY root, const std::string& subkey);

// What is stored under a value: its type and raw bytes. `exists` is false when the
// key or value is missing.
struct StoredValue {
  bool exists = false;
  DWORD type = 0;
  std::string bytes;
};
StoredValue ReadStoredValue(HKEY root, const std::string& subkey, const char* name);

// Writes a value of any type directly, bypassing the code under test.
void PutRawValue(HKEY root, const std::string& subkey, const char* name, DWORD type, const std::string& bytes);

bool KeyExists(HKEY root, const std::string& subkey);

}  // namespace va::test
