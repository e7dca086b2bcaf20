// wizard_app_win: see wizard_app_win.h.
#include "wizard/wizard_app_win.h"

#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include "common/registry_store.h"
#include "common/text_rules.h"
#include "wizard/drives_win.h"
#include "wizard/metadata_win.h"
#include "wizard/resources/resource.h"
#include "wizard/settings_steps_win.h"
#include "wizard/wizard_messages_win.h"
#include "wizard/wizard_pages_win.h"
#include "wizard/wizard_state.h"

namespace va {
namespace {

constexpr const char* kRunSwitch = "-VARUN";
constexpr const char* kSheetCaption = "Vexlo Aero Configuration Wizard";
constexpr int kHeaderBitmapSize = 49;
constexpr size_t kMaxClientPath = 259;

struct PageSpec {
  int dialogId;
  DLGPROC proc;
  bool header;
  UINT titleId;
  UINT subtitleId;
};

// In page index order.
const PageSpec kPages[kWizardPageCount] = {
    {IDD_WELCOME, WelcomePageProc, false, 0, 0},
    {IDD_USER, UserPageProc, true, IDS_USER_PAGE_TITLE, IDS_USER_PAGE_SUBTITLE},
    {IDD_FOLDER, FolderPageProc, true, IDS_FOLDER_PAGE_TITLE, IDS_FOLDER_PAGE_SUBTITLE},
    {IDD_CONNECTION, ConnectionPageProc, true, IDS_CONNECTION_PAGE_TITLE, IDS_CONNECTION_PAGE_SUBTITLE},
    {IDD_FINISH, FinishPageProc, false, 0, 0},
    {IDD_RUNNING, RunningPageProc, true, IDS_RUNNING_PAGE_TITLE, IDS_RUNNING_PAGE_SUBTITLE},
};

bool IsRunSwitch(const char* commandLine) {
  return UpperCaseText(TrimBlanks(commandLine ? commandLine : "")) == kRunSwitch;
}

HFONT MakeFont(const char* face, int points, int weight, bool underline) {
  HDC screen = GetDC(nullptr);
  const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  return CreateFontA(height, 0, 0, 0, weight, FALSE, underline ? TRUE : FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

void CreateFonts(WizardFonts& fonts) {
  fonts.title = MakeFont("Verdana", 12, FW_BOLD, false);
  fonts.bold = MakeFont("Tahoma", 8, FW_BOLD, false);
  fonts.link = MakeFont("Tahoma", 8, FW_BOLD, true);
  fonts.small = MakeFont("Verdana", 7, FW_DONTCARE, false);
}

void DeleteFonts(WizardFonts& fonts) {
  for (HFONT* font : {&fonts.title, &fonts.bold, &fonts.link, &fonts.small}) {
    if (*font) DeleteObject(*font);
    *font = nullptr;
  }
}

// Asks whether to run the wizard; returns true when it should run.
bool AskToRun() {
  switch (ShowWizardMessage(nullptr, IDS_START_QUESTION, MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES:
      return true;
    case IDNO:
      RunSilentSetupCommand();
      ApplyRegistryScript();
      MarkUserConfigured();
      return false;
    default:  // Cancel, or the box closed
      MarkUserConfigured();
      return false;
  }
}

void RunSheet() {
  WizardState& state = Wizard();
  // Header texts live as long as the sheet.
  std::string titles[kWizardPageCount], subtitles[kWizardPageCount];
  for (int i = 0; i < kWizardPageCount; ++i) {
    const PageSpec& spec = kPages[i];
    PROPSHEETPAGEA page = {};
    page.dwSize = sizeof page;
    page.hInstance = state.instance;
    page.pszTemplate = MAKEINTRESOURCEA(spec.dialogId);
    page.pfnDlgProc = spec.proc;
    if (spec.header) {
      titles[i] = LoadWizardString(spec.titleId);
      subtitles[i] = LoadWizardString(spec.subtitleId);
      page.dwFlags = PSP_DEFAULT | PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE;
      page.pszHeaderTitle = titles[i].c_str();
      page.pszHeaderSubTitle = subtitles[i].c_str();
    } else {
      page.dwFlags = PSP_DEFAULT | PSP_HIDEHEADER;
    }
    state.pages[i] = CreatePropertySheetPageA(&page);
  }
  CreateFonts(state.fonts);
  HBITMAP header = static_cast<HBITMAP>(LoadImageA(state.instance, MAKEINTRESOURCEA(IDB_HEADER), IMAGE_BITMAP,
                                                   kHeaderBitmapSize, kHeaderBitmapSize, LR_LOADTRANSPARENT));
  PROPSHEETHEADERA sheet = {};
  sheet.dwSize = sizeof sheet;
  sheet.dwFlags = PSH_WIZARD97 | PSH_WATERMARK | PSH_HEADER | (header ? PSH_USEHBMHEADER : 0);
  sheet.hwndParent = nullptr;
  sheet.hInstance = state.instance;
  sheet.pszCaption = kSheetCaption;
  sheet.nPages = kWizardPageCount;
  sheet.nStartPage = 0;
  sheet.phpage = state.pages.data();
  sheet.pszbmWatermark = MAKEINTRESOURCEA(IDB_WATERMARK);
  if (header) sheet.hbmHeader = header;
  else sheet.pszbmHeader = MAKEINTRESOURCEA(IDB_HEADER);
  PropertySheetA(&sheet);
  if (header) DeleteObject(header);
  DeleteFonts(state.fonts);
}

}  // namespace

WizardState& Wizard() {
  static WizardState state;
  return state;
}

int RunWizardProgram(HINSTANCE instance, const char* commandLine) {
  WizardState& state = Wizard();
  state.instance = instance;
  if (!LoadMetadata()) return 0;
  if (IsRunSwitch(commandLine) && state.sigUser != 0 && state.sigUser != state.sigMachine) {
    if (!AskToRun()) return 0;
  }
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  RunSheet();
  ReleaseComForBrowser();
  return 0;
}

void FinishWizard(bool runClient) {
  RunSilentSetupCommand();
  ApplyRegistryScript();
  WriteClientPaths();
  WriteWizardSettings();
  MarkUserConfigured();
  if (!runClient) return;
  std::string client = ReadRegText(HKEY_LOCAL_MACHINE, "Software\\Vexlo\\Fernpull", "ExeDir", RegistryReader::Wizard);
  if (client.size() > kMaxClientPath) client.resize(kMaxClientPath);
  if (!client.empty()) ShellExecuteA(nullptr, "open", client.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool ConfirmQuit(HWND page) {
  if (ShowWizardMessage(page, IDS_QUIT_QUESTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) return false;
  const WizardState& state = Wizard();
  if (state.sigUser == 0) {
    RunSilentSetupCommand();
    ApplyRegistryScript();
    WriteClientPaths();
    CreateDefaultSharedFolder();
    MarkUserConfigured();
  } else if (state.sigMachine > state.sigUser) {
    MarkUserConfigured();
  }
  return true;
}

}  // namespace va
