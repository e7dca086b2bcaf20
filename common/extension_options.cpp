// extension_options: the settings schema's field table and the StatusWnd text.
#include "common/extension_options.h"

#include <cmath>
#include <cstdlib>

namespace va {

const OptionFieldInfo kOptionFields[kOptionFieldCount] = {
    {kOptChangeTrayMenu, "ChangeTrayMenu", OptionKind::Flag},
    {kOptChangeSystemBtn, "ChangeSystemBtn", OptionKind::Flag},
    {kOptChangeToolbarBehave, "ChangeToolbarBehave", OptionKind::Flag},
    {kOptAskExit, "AskExit", OptionKind::Flag},
    {kOptStartVAInTray, "StartVAInTray", OptionKind::Flag},
    {kOptHideAdBanner, "HideAdBanner", OptionKind::Flag},
    {kOptAddToMainMenu, "AddToMainMenu", OptionKind::Flag},
    {kOptChangeDownloadMenu, "ChangeDownloadMenu", OptionKind::Flag},
    {kOptForceCreation, "ForceCreation", OptionKind::Flag},
    {kOptTrayIcon, "TrayIcon", OptionKind::Text},
    {kOptToolBarBitmap, "ToolBarBitmap", OptionKind::Text},
    {kOptNoToolsIcons, "NoToolsIcons", OptionKind::Flag},
    {kOptIniTab, "IniTab", OptionKind::Number},
    {kOptShowAccelSttInTray, "ShowAccelSttInTray", OptionKind::Flag},
    {kOptChangeFileManagerMenu, "ChangeFileManagerMenu", OptionKind::Flag},
    {kOptDefaultFileManagerAction, "DefaultFileManagerAction", OptionKind::Number},
};

const OptionField kOptionSaveOrder[kOptionFieldCount] = {
    kOptChangeSystemBtn, kOptChangeTrayMenu,     kOptChangeToolbarBehave,   kOptAskExit,
    kOptStartVAInTray,   kOptHideAdBanner,       kOptAddToMainMenu,         kOptChangeDownloadMenu,
    kOptForceCreation,   kOptTrayIcon,           kOptToolBarBitmap,         kOptNoToolsIcons,
    kOptIniTab,          kOptShowAccelSttInTray, kOptChangeFileManagerMenu, kOptDefaultFileManagerAction,
};

namespace {

uint8_t* FlagOf(ExtensionOptions* o, OptionField field) {
  switch (field) {
    case kOptChangeTrayMenu: return &o->ChangeTrayMenu;
    case kOptChangeSystemBtn: return &o->ChangeSystemBtn;
    case kOptChangeToolbarBehave: return &o->ChangeToolbarBehave;
    case kOptAskExit: return &o->AskExit;
    case kOptStartVAInTray: return &o->StartVAInTray;
    case kOptHideAdBanner: return &o->HideAdBanner;
    case kOptAddToMainMenu: return &o->AddToMainMenu;
    case kOptChangeDownloadMenu: return &o->ChangeDownloadMenu;
    case kOptForceCreation: return &o->ForceCreation;
    case kOptNoToolsIcons: return &o->NoToolsIcons;
    case kOptShowAccelSttInTray: return &o->ShowAccelSttInTray;
    case kOptChangeFileManagerMenu: return &o->ChangeFileManagerMenu;
    default: return nullptr;
  }
}

uint32_t* NumberOf(ExtensionOptions* o, OptionField field) {
  if (field == kOptIniTab) return &o->IniTab;
  if (field == kOptDefaultFileManagerAction) return &o->DefaultFileManagerAction;
  return nullptr;
}

// One part of the StatusWnd text as a number, rounded; unreadable gives 0.
int32_t PartNumber(const std::string& part) {
  const char* start = part.c_str();
  char* end = nullptr;
  double value = std::strtod(start, &end);
  if (end == start || !std::isfinite(value)) return 0;
  value = std::round(value);
  if (value > 2147483647.0) return INT32_MAX;
  if (value < -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace

uint32_t OptionNumber(const ExtensionOptions& options, OptionField field) {
  auto* o = const_cast<ExtensionOptions*>(&options);
  if (uint8_t* flag = FlagOf(o, field)) return *flag;
  if (uint32_t* number = NumberOf(o, field)) return *number;
  return 0;
}

void SetOptionNumber(ExtensionOptions* options, OptionField field, uint32_t value) {
  if (uint8_t* flag = FlagOf(options, field)) *flag = static_cast<uint8_t>(value & 0xFF);
  else if (uint32_t* number = NumberOf(options, field)) *number = value;
}

std::string* OptionText(ExtensionOptions* options, OptionField field) {
  if (field == kOptTrayIcon) return &options->TrayIcon;
  if (field == kOptToolBarBitmap) return &options->ToolBarBitmap;
  return nullptr;
}

const std::string* OptionText(const ExtensionOptions& options, OptionField field) {
  return OptionText(const_cast<ExtensionOptions*>(&options), field);
}

bool OptionDiffers(const ExtensionOptions& a, const ExtensionOptions& b, OptionField field) {
  if (const std::string* text = OptionText(a, field)) return *text != *OptionText(b, field);
  return OptionNumber(a, field) != OptionNumber(b, field);
}

std::string FormatStatusWnd(const StatusWindowPlace& place) {
  return std::to_string(place.left) + "," + std::to_string(place.top) + "," + std::to_string(place.shown) + "," +
         std::to_string(place.docked);
}

StatusWindowPlace ParseStatusWnd(const std::string& text) {
  int32_t numbers[4] = {0, 0, 0, 0};
  size_t start = 0;
  for (int n = 0; n < 4 && start <= text.size(); ++n) {
    size_t comma = text.find(',', start);
    numbers[n] = PartNumber(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  StatusWindowPlace place;
  place.left = numbers[0];
  place.top = numbers[1];
  place.shown = static_cast<uint8_t>(numbers[2] & 0xFF);
  place.docked = numbers[3];
  return place;
}

}  // namespace va
