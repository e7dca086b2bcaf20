// settings_steps_win: see settings_steps_win.h.
#include "wizard/settings_steps_win.h"

#include <windows.h>

#include "common/placeholders.h"
#include "common/registry_store.h"
#include "wizard/metadata_win.h"
#include "wizard/wizard_rules.h"
#include "wizard/wizard_state.h"

namespace va {
namespace {

constexpr const char* kInstallKey = "Software\\Vexlo\\v-aero";
constexpr size_t kMaxScriptName = 511;
// The predefined roots a script may name (HKEY_CLASSES_ROOT .. HKEY_CURRENT_CONFIG
// and HKEY_DYN_DATA); any other number is no root and leaves no current key.
constexpr uint32_t kFirstPredefinedRoot = 0x80000000;
constexpr uint32_t kLastPredefinedRoot = 0x80000006;

// A predefined root as the platform's handle: the 32-bit number sign-extended,
// as the headers define them for both 32- and 64-bit programs.
HKEY PredefinedRoot(uint32_t root) {
  return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

HKEY RootFor(WriteRoot root) {
  switch (root) {
    case WriteRoot::CurrentUser: return HKEY_CURRENT_USER;
    case WriteRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case WriteRoot::SharedSwitch: return SharedSettingsRoot(SharedRootUse::WizardWrites);  // read afresh
  }
  return HKEY_CURRENT_USER;
}

ConnectionProfile SelectedProfile() {
  const WizardState& state = Wizard();
  if (state.profileIndex >= 0 && static_cast<size_t>(state.profileIndex) < state.profiles.size()) {
    return state.profiles[state.profileIndex];
  }
  // No profile could be chosen (an empty list): no profile value is written.
  ConnectionProfile none;
  none.values.fill(kUnsetProfileValue);
  return none;
}

}  // namespace

void RunSilentSetupCommand() {
  std::string command = ReadRegText(HKEY_LOCAL_MACHINE, kInstallKey, "SilentSetup", RegistryReader::Wizard);
  if (command.empty()) return;
  std::vector<char> line(command.begin(), command.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, NORMAL_PRIORITY_CLASS, nullptr, nullptr, &startup,
                      &process)) {
    return;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

void ApplyRegistryScript() {
  HKEY current = nullptr;
  for (const ScriptRecord& record : ReadRegistryScript()) {
    if (record.kind == ScriptRecord::Kind::Key) {
      if (current) RegCloseKey(current);
      current = nullptr;
      if (record.root < kFirstPredefinedRoot || record.root > kLastPredefinedRoot) continue;
      const std::string path = record.path.substr(0, kMaxScriptName);
      HKEY key = nullptr;
      if (RegCreateKeyExA(PredefinedRoot(record.root), path.c_str(), 0, const_cast<char*>(""), 0, KEY_SET_VALUE,
                          nullptr, &key, nullptr) == ERROR_SUCCESS) {
        current = key;
      }
    } else if (current) {
      const std::string name = record.name.substr(0, kMaxScriptName);
      RegSetValueExA(current, name.c_str(), 0, record.type, reinterpret_cast<const BYTE*>(record.data.data()),
                     static_cast<DWORD>(record.data.size()));
    }
  }
  if (current) RegCloseKey(current);
}

void WriteClientPaths() {
  const WizardState& state = Wizard();
  WriteRegText(HKEY_CURRENT_USER, "Software\\Vexlo\\Skins", "SkinsDir", state.texts[2].c_str());
  WriteRegText(HKEY_CURRENT_USER, "Software\\V++", "ApplicationName", state.texts[1].c_str());
  WriteRegText(HKEY_CURRENT_USER, "Software\\V++", "VexloStartPage", state.texts[3].c_str());
}

void WriteWizardSettings() {
  const WizardState& state = Wizard();
  for (const PlannedWrite& write : PlanWizardSettings(state.userAtNetwork, state.sharedFolder, SelectedProfile())) {
    const HKEY root = RootFor(write.root);
    if (write.isText) WriteRegText(root, write.key, write.name, write.text.c_str());
    else WriteRegDword(root, write.key, write.name, write.number);
  }
}

void CreateDefaultSharedFolder() {
  std::string folder = Wizard().rawTexts[0];
  ExpandWizardPlaceholders(folder);
  CreateDirectoryA(folder.c_str(), nullptr);  // one folder; an existing one is fine
  WriteRegText(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir", folder.c_str());
}

void MarkUserConfigured() {
  WriteRegDword(HKEY_CURRENT_USER, kInstallKey, "InstallSig", Wizard().sigMachine);
}

}  // namespace va
