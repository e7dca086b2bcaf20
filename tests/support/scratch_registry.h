// scratch_registry: a registry key for one test, removed with everything below it
// when the test ends, so tests never see each other's values.
#pragma once
#include <windows.h>

#include <initializer_list>
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

// A stored value as text: "#<n>" for a REG_DWORD of four bytes, "=<text>" for a
// REG_SZ holding a text with or without its one terminating zero (some writers
// store none; Wine adds it when the value is read), "?<size>" for anything else,
// "-" when it is missing.
std::string ValueText(const StoredValue& value);
// The values named as "<name><ValueText>;" each; without names, every value of the
// key so, in the order of their names ("" without the key).
std::string ValuesText(HKEY root, const std::string& subkey, std::initializer_list<const char*> names = {});

// Writes a value of any type directly, bypassing the code under test.
void PutRawValue(HKEY root, const std::string& subkey, const char* name, DWORD type, const std::string& bytes);

bool KeyExists(HKEY root, const std::string& subkey);

}  // namespace va::test
