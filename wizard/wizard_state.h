// wizard_state: the program-wide state of the wizard, set up at start and read by
// every page and write step: the metadata, the signatures, the user's choices
// and the fonts.
#pragma once
#include <windows.h>
#include <prsht.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "wizard/metadata.h"

namespace va {

inline constexpr int kWizardPageCount = 6;
inline constexpr const char* kWizardCaption = "Wizard";
inline constexpr const char* kHostWindowClass = "VeXlO";

struct WizardFonts {
  HFONT title = nullptr;
  HFONT bold = nullptr;
  HFONT link = nullptr;
  HFONT small = nullptr;
};

struct WizardState {
  HINSTANCE instance = nullptr;
  std::string programPath;  // the wizard's own file, which carries the trailer

  // Metadata: texts 1 to 6 at index 0 to 5; 1, 3 and 4 expanded, 2 the full
  // path of the client application. `rawTexts` keeps them as stored.
  std::array<std::string, 6> texts;
  std::array<std::string, 6> rawTexts;
  std::vector<ConnectionProfile> profiles;
  size_t scriptOffset = 0;
  size_t scriptEnd = 0;

  uint32_t sigUser = 0;
  uint32_t sigMachine = 0;

  // The user's choices.
  std::string userAtNetwork;
  std::string sharedFolder;
  int profileIndex = 0;

  WizardFonts fonts;
  std::array<HPROPSHEETPAGE, kWizardPageCount> pages{};
};

WizardState& Wizard();

}  // namespace va
