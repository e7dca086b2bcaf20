// extension_options_win: loading and saving the extension module's main options
// and remembered state in the registry. Failures are silent: a value that cannot
// be read keeps its default, a field whose write fails keeps its old value.
#include <windows.h>

#include <vector>

#include "common/extension_options.h"

namespace va {

ExtensionOptions CurrentOptions;
LastStateRecord CurrentLastState;

namespace {

OptionLiveUpdate OptionLiveUpdates[kOptionFieldCount] = {};

// Texts longer than this are treated as unreadable rather than allocated whole.
constexpr DWORD kMaxTextBytes = 32768;

bool lastStateLoaded = false;

// A DWORD value: exactly four bytes of type REG_DWORD; anything else is unreadable.
bool QueryDword(HKEY key, const char* name, uint32_t* value) {
  if (!key) return false;
  DWORD type = 0, data = 0, size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS) return false;
  if (type != REG_DWORD || size != sizeof data) return false;
  *value = data;
  return true;
}

// A text value: its size first, then its data, cut at the first NUL.
bool QueryText(HKEY key, const char* name, DWORD maxBytes, std::string* text) {
  if (!key) return false;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ || size > maxBytes) return false;
  std::vector<char> buffer(size + 1, '\0');
  DWORD got = size;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &got) != ERROR_SUCCESS) return false;
  if (type != REG_SZ || got > size) return false;
  buffer[got] = '\0';
  *text = buffer.data();
  return true;
}

bool WriteDword(HKEY key, const char* name, uint32_t value) {
  DWORD data = value;
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data) == ERROR_SUCCESS;
}

bool WriteText(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

HKEY OpenForQuery(HKEY root, const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

HKEY CreateForSet(const char* subkey) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return nullptr;
  return key;
}

void LoadFlag(HKEY key, const char* name, uint8_t* flag) {
  uint32_t value = 0;
  if (QueryDword(key, name, &value)) *flag = static_cast<uint8_t>(value & 0xFF);
}

void LoadNumber(HKEY key, const char* name, uint32_t* number) {
  uint32_t value = 0;
  if (QueryDword(key, name, &value)) *number = value;
}

}  // namespace

void LoadExtensionOptions() {
  HKEY user = OpenForQuery(HKEY_CURRENT_USER, kExtensionKey);
  HKEY machine = OpenForQuery(HKEY_LOCAL_MACHINE, kExtensionKey);
  if (!user && !machine) return;
  for (const OptionFieldInfo& info : kOptionFields) {
    if (info.kind == OptionKind::Text) {
      std::string text;
      if (QueryText(user, info.name, kMaxTextBytes, &text) || QueryText(machine, info.name, kMaxTextBytes, &text))
        *OptionText(&CurrentOptions, info.field) = text;
    } else {
      uint32_t value = 0;
      if (QueryDword(user, info.name, &value) || QueryDword(machine, info.name, &value))
        SetOptionNumber(&CurrentOptions, info.field, value);
    }
    if (info.field == kOptChangeSystemBtn && CurrentOptions.ChangeSystemBtn == 1) CurrentOptions.ChangeTrayMenu = 1;
  }
  if (user) RegCloseKey(user);
  if (machine) RegCloseKey(machine);
}

void SaveExtensionOptions(const ExtensionOptions& next) {
  HKEY key = CreateForSet(kExtensionKey);
  if (!key) return;
  for (OptionField field : kOptionSaveOrder) {
    if (!OptionDiffers(next, CurrentOptions, field)) continue;
    const OptionFieldInfo& info = kOptionFields[field];
    bool written = info.kind == OptionKind::Text ? WriteText(key, info.name, *OptionText(next, field))
                                                 : WriteDword(key, info.name, OptionNumber(next, field));
    if (!written) continue;
    if (info.kind == OptionKind::Text) *OptionText(&CurrentOptions, field) = *OptionText(next, field);
    else SetOptionNumber(&CurrentOptions, field, OptionNumber(next, field));
    if (OptionLiveUpdates[field]) OptionLiveUpdates[field]();
  }
  RegCloseKey(key);
}

bool SetOptionLiveUpdate(OptionField field, OptionLiveUpdate update) {
  if (field < 0 || field >= kOptionFieldCount) return false;
  OptionLiveUpdate& slot = OptionLiveUpdates[field];
  if (slot && slot != update) return false;
  slot = update;
  return true;
}

void ClearOptionLiveUpdates() {
  for (OptionLiveUpdate& slot : OptionLiveUpdates) slot = nullptr;
}

bool LastStateLoaded() { return lastStateLoaded; }

void LoadLastState() {
  lastStateLoaded = true;
  HKEY key = OpenForQuery(HKEY_CURRENT_USER, kLastStateKey);
  if (!key) return;
  LoadFlag(key, "SearchOptShow", &CurrentLastState.SearchOptShow);
  LoadFlag(key, "AutoSearchMore", &CurrentLastState.AutoSearchMore);
  LoadNumber(key, "AutoSearchMoreNum", &CurrentLastState.AutoSearchMoreNum);
  LoadNumber(key, "AutoSearchMoreUnit", &CurrentLastState.AutoSearchMoreUnit);
  LoadNumber(key, "ConfigDlg", &CurrentLastState.ConfigDlg);
  LoadNumber(key, "StatusDlg", &CurrentLastState.StatusDlg);
  std::string place;
  if (QueryText(key, "StatusWnd", kStatusWndMaxLength + 1, &place)) CurrentLastState.StatusWnd = ParseStatusWnd(place);
  LoadFlag(key, "Accelerator", &CurrentLastState.Accelerator);
  LoadFlag(key, "AlwaysOnTop", &CurrentLastState.AlwaysOnTop);
  RegCloseKey(key);
}

void SaveLastState() {
  HKEY key = CreateForSet(kLastStateKey);
  if (!key) return;
  WriteDword(key, "SearchOptShow", CurrentLastState.SearchOptShow);
  WriteDword(key, "AutoSearchMore", CurrentLastState.AutoSearchMore);
  WriteDword(key, "AutoSearchMoreNum", CurrentLastState.AutoSearchMoreNum);
  WriteDword(key, "AutoSearchMoreUnit", CurrentLastState.AutoSearchMoreUnit);
  WriteDword(key, "ConfigDlg", CurrentLastState.ConfigDlg);
  WriteDword(key, "StatusDlg", CurrentLastState.StatusDlg);
  WriteText(key, "StatusWnd", FormatStatusWnd(CurrentLastState.StatusWnd).substr(0, kStatusWndMaxLength));
  WriteDword(key, "Accelerator", CurrentLastState.Accelerator);
  WriteDword(key, "AlwaysOnTop", CurrentLastState.AlwaysOnTop);
  RegCloseKey(key);
}

}  // namespace va
