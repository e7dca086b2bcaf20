// extension_options: the extension module's settings schema: the main options
// record, the remembered state under LastState, the StatusWnd text, and the field
// table that drives loading, saving and the live updates. The registry side is in
// extension_options_win.cpp; this file's routines are portable.
#pragma once
#include <cstdint>
#include <string>

namespace va {

inline constexpr const char* kExtensionKey = "SOFTWARE\\VAExtensions";
inline constexpr const char* kLastStateKey = "SOFTWARE\\VAExtensions\\LastState";

// Main options, in the order of the schema. Flags hold 0 or 1.
struct ExtensionOptions {
  uint8_t ChangeTrayMenu = 0;
  uint8_t ChangeSystemBtn = 0;
  uint8_t ChangeToolbarBehave = 0;
  uint8_t AskExit = 0;
  uint8_t StartVAInTray = 0;
  uint8_t HideAdBanner = 0;
  uint8_t AddToMainMenu = 0;
  uint8_t ChangeDownloadMenu = 0;
  uint8_t ForceCreation = 0;
  std::string TrayIcon;
  std::string ToolBarBitmap;
  uint8_t NoToolsIcons = 0;
  uint32_t IniTab = 0;
  uint8_t ShowAccelSttInTray = 0;
  uint8_t ChangeFileManagerMenu = 0;
  uint32_t DefaultFileManagerAction = 0;
};

// The fields in schema order.
enum OptionField {
  kOptChangeTrayMenu,
  kOptChangeSystemBtn,
  kOptChangeToolbarBehave,
  kOptAskExit,
  kOptStartVAInTray,
  kOptHideAdBanner,
  kOptAddToMainMenu,
  kOptChangeDownloadMenu,
  kOptForceCreation,
  kOptTrayIcon,
  kOptToolBarBitmap,
  kOptNoToolsIcons,
  kOptIniTab,
  kOptShowAccelSttInTray,
  kOptChangeFileManagerMenu,
  kOptDefaultFileManagerAction,
  kOptionFieldCount
};

enum class OptionKind { Flag, Number, Text };

struct OptionFieldInfo {
  OptionField field;
  const char* name;  // the registry value name
  OptionKind kind;
};

// Schema order (loading) and save order (ChangeSystemBtn before ChangeTrayMenu).
extern const OptionFieldInfo kOptionFields[kOptionFieldCount];
extern const OptionField kOptionSaveOrder[kOptionFieldCount];

// Field access by table entry: numbers and flags as 32-bit values, texts as text.
uint32_t OptionNumber(const ExtensionOptions& options, OptionField field);
void SetOptionNumber(ExtensionOptions* options, OptionField field, uint32_t value);  // a flag keeps the low byte
std::string* OptionText(ExtensionOptions* options, OptionField field);
const std::string* OptionText(const ExtensionOptions& options, OptionField field);
bool OptionDiffers(const ExtensionOptions& a, const ExtensionOptions& b, OptionField field);

// The status window's place: left, top, shown flag, docked flag.
struct StatusWindowPlace {
  int32_t left = 0;
  int32_t top = 0;
  uint8_t shown = 0;
  int32_t docked = 0;
};

// Remembered state, HKEY_CURRENT_USER only.
struct LastStateRecord {
  uint8_t SearchOptShow = 0;
  uint8_t AutoSearchMore = 0;
  uint32_t AutoSearchMoreNum = 0;
  uint32_t AutoSearchMoreUnit = 0;
  uint32_t ConfigDlg = 0;
  uint32_t StatusDlg = 0;
  StatusWindowPlace StatusWnd;
  uint8_t Accelerator = 0;
  uint8_t AlwaysOnTop = 0;
};

inline constexpr size_t kStatusWndMaxLength = 63;
// "left,top,shown,docked" in decimal, no blanks.
std::string FormatStatusWnd(const StatusWindowPlace& place);
// Field n is the n-th comma-separated part read as a number and rounded; a
// missing or unreadable part gives 0.
StatusWindowPlace ParseStatusWnd(const std::string& text);

// ---- Registry side (extension_options_win.cpp) ----

// The module's current settings, read at the moment of use.
extern ExtensionOptions CurrentOptions;
extern LastStateRecord CurrentLastState;

// Live updates run after a changed field was saved and copied into CurrentOptions.
// Each field has one owner of its live update, which calls every party that must
// follow the field; a second owner is refused (false), so that no feature can
// silently replace another's update. Setting the same function again is fine.
using OptionLiveUpdate = void (*)();
bool SetOptionLiveUpdate(OptionField field, OptionLiveUpdate update);
// Forgets every owner (test programs do between cases).
void ClearOptionLiveUpdates();

// Reads the main options, each value from HKEY_CURRENT_USER first and from
// HKEY_LOCAL_MACHINE second; ChangeSystemBtn = 1 forces ChangeTrayMenu.
void LoadExtensionOptions();
// Writes the fields of `next` that differ from CurrentOptions to HKEY_CURRENT_USER, in
// save order; each is copied into CurrentOptions and applied only after its write
// succeeded.
void SaveExtensionOptions(const ExtensionOptions& next);
void LoadLastState();
// True once LoadLastState ran in this process.
bool LastStateLoaded();
// Writes every remembered value, changed or not.
void SaveLastState();

}  // namespace va
