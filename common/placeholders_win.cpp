// placeholders_win: Win32 side of placeholders.h; the scan is in placeholder_scan.cpp.
#include "common/placeholders_win.h"

#include <vector>

#include "common/placeholders.h"
#include "common/registry_store.h"

namespace va {
namespace {

constexpr const char* kInstallKey = "SOFTWARE\\Vexlo\\v-aero";
constexpr const char* kLocalContentKey = "SOFTWARE\\Vexlo\\LocalContent";
constexpr const char* kSkinsKey = "SOFTWARE\\Vexlo\\Skins";
constexpr int kFolderPersonal = 0x05;   // CSIDL_PERSONAL
constexpr int kFolderAppData = 0x1A;    // CSIDL_APPDATA
constexpr int kFolderDesktop = 0x10;    // CSIDL_DESKTOPDIRECTORY
constexpr size_t kMaxFallbackPath = 259;

std::string WithoutOneTrailingBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string BeforeFirstBackslash(const std::string& path) { return path.substr(0, path.find('\\')); }

std::string InstallFolder() {
  return WithoutOneTrailingBackslash(ReadRegText(HKEY_LOCAL_MACHINE, kInstallKey, "InstallDir", RegistryReader::Wizard));
}

std::string WindowsFolder() {
  char buffer[MAX_PATH + 1] = {};
  UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
  if (length == 0 || length >= sizeof buffer) return std::string();
  return std::string(buffer, length);
}

// A special folder, created when missing; empty when the shell cannot give it.
std::string SpecialFolder(SpecialFolderFn specialFolder, int folder) {
  if (!specialFolder) return std::string();
  char buffer[MAX_PATH + 1] = {};
  if (!specialFolder(nullptr, buffer, folder, TRUE)) return std::string();
  return std::string(buffer);
}

std::string AppDataFolder(SpecialFolderFn specialFolder) {
  if (specialFolder) return SpecialFolder(specialFolder, kFolderAppData);
  std::string fallback = InstallFolder();
  if (fallback.size() > kMaxFallbackPath) fallback.resize(kMaxFallbackPath);
  return fallback;
}

std::string HostProgramFolder() {
  std::vector<char> buffer(MAX_PATH + 1);
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return std::string();
    if (length < buffer.size()) {
      std::string path(buffer.data(), length);
      size_t slash = path.rfind('\\');
      return slash == std::string::npos ? std::string() : path.substr(0, slash);
    }
    if (buffer.size() >= 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

std::string ReadEnvironmentText(const std::string& name) {
  DWORD size = GetEnvironmentVariableA(name.c_str(), nullptr, 0);
  if (size == 0) return std::string();
  std::vector<char> buffer(size + 1);
  DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  if (length == 0 || length >= buffer.size()) return std::string();
  return std::string(buffer.data(), length);
}

SpecialFolderFn FindSpecialFolderFunction() {
  HMODULE shell = GetModuleHandleA("SHELL32.DLL");
  if (!shell) return nullptr;
  return reinterpret_cast<SpecialFolderFn>(GetProcAddress(shell, "SHGetSpecialFolderPathA"));
}

PlaceholderRules WizardPlaceholderRules(SpecialFolderFn specialFolder) {
  PlaceholderRules rules;
  rules.known = {
      {"VAPATH", ScanResume::Restart, [] { return InstallFolder(); }},
      {"VAROOT", ScanResume::Restart, [] { return BeforeFirstBackslash(InstallFolder()); }},
      {"MYSHARED", ScanResume::AfterOldEnd,
       [] {
         return WithoutOneTrailingBackslash(
             ReadRegText(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir", RegistryReader::Wizard));
       }},
      {"WINROOT", ScanResume::AfterOldEnd, [] { return BeforeFirstBackslash(WindowsFolder()); }},
      {"WINDIR", ScanResume::AfterOldEnd, [] { return WindowsFolder(); }},
      {"PERSONAL", ScanResume::AfterOldEnd, [specialFolder] { return SpecialFolder(specialFolder, kFolderPersonal); }},
      {"APPDATA", ScanResume::AfterOldEnd, [specialFolder] { return AppDataFolder(specialFolder); }},
      {"DESKTOP", ScanResume::AfterOldEnd, [specialFolder] { return SpecialFolder(specialFolder, kFolderDesktop); }},
  };
  rules.environment = ReadEnvironmentText;
  return rules;
}

PlaceholderRules ExtensionPlaceholderRules() {
  PlaceholderRules rules;
  rules.known = {
      {"VAPATH", ScanResume::Restart, [] { return HostProgramFolder(); }},
      {"MYSHARED", ScanResume::Restart,
       [] { return ReadRegText(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir"); }},
      {"SKINSDIR", ScanResume::Restart, [] { return ReadRegText(HKEY_CURRENT_USER, kSkinsKey, "SkinsDir"); }},
  };
  rules.environment = ReadEnvironmentText;
  return rules;
}

void ExpandWizardPlaceholders(std::string& text) {
  ExpandPlaceholders(text, WizardPlaceholderRules(FindSpecialFolderFunction()));
}

void ExpandExtensionPlaceholders(std::string& text) { ExpandPlaceholders(text, ExtensionPlaceholderRules()); }

}  // namespace va
