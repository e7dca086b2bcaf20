// hostsim_views_win: the host's window tree: main frame with menu bar, rebar and
// three bottom bars, the MDI client and its frames (Web, Search, Traffic, library)
// with their inner panes and controls at the host's ids.
#include <windows.h>
#include <commctrl.h>

#include "extension/core/host_ids.h"
#include "hostsim/hostsim_state.h"
#include "hostsim/resources/resource.h"

namespace va::hostsim {
namespace {

using namespace va::host;

const char kPaneClass[] = "AfxWnd42s";
const char kTrafficClass[] = "AfxWnd42s:Traffic";
const char kFormClass[] = "AfxWnd42s:SearchForm";

constexpr int kStatusHeight = 22;
constexpr int kAdBarHeight = 60;
constexpr int kPlayerBarHeight = 30;
constexpr int kLogoWidth = 90;
constexpr int kHeaderHeight = 22;
constexpr int kFormHeight = 120;

// Inner panes: each stretches its children over its client area; a pane with two
// children (the Search window's) gives the first a fixed height at the top.
LRESULT CALLBACK PaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SIZE) {
    RECT client;
    GetClientRect(window, &client);
    HWND first = GetWindow(window, GW_CHILD);
    HWND second = first ? GetWindow(first, GW_HWNDNEXT) : nullptr;
    if (first && second) {
      MoveWindow(first, 0, 0, client.right, kFormHeight, TRUE);
      MoveWindow(second, 0, kFormHeight, client.right, client.bottom - kFormHeight, TRUE);
    } else if (first) {
      MoveWindow(first, 0, 0, client.right, client.bottom, TRUE);
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void SetSearchRunning(bool running) {
  g.scenario.searchRunning = running;
  HWND search = GetDlgItem(g.searchForm, kSearchButtonId);
  ShowWindow(search, running ? SW_HIDE : SW_SHOW);
  EnableWindow(search, !running);
  EnableWindow(GetDlgItem(g.searchForm, kSearchMoreButtonId), running || g.results > 0);
}

void AddResults(int count) {
  for (int i = 0; i < count; ++i) {
    char text[64];
    wsprintfA(text, "Result %d", ++g.results);
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = text;
    SendMessageA(g.resultsList, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
  }
}

// The search form handles its own buttons, as the host's does.
void OnSearchFormCommand(int id) {
  Log("form-command %d", id);
  if (id == kSearchButtonId) {
    SetSearchRunning(true);
    SetDlgItemTextA(g.searchForm, kSearchStatusId, "Searching...");
    AddResults(5);
  } else if (id == kSearchMoreButtonId) {
    SetDlgItemTextA(g.searchForm, kSearchStatusId, "Searching for more...");
    AddResults(5);
  } else if (id == kSearchStopId) {
    SetSearchRunning(false);
    SetDlgItemTextA(g.searchForm, kSearchStatusId, "Search stopped.");
  }
}

LRESULT CALLBACK SearchFormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
    OnSearchFormCommand(LOWORD(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK TrafficProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: {
      RECT client;
      GetClientRect(window, &client);
      MoveWindow(g.header, 0, 0, client.right, kHeaderHeight, TRUE);
      MoveWindow(g.downloadList, 0, kHeaderHeight, client.right, client.bottom - kHeaderHeight, TRUE);
      return 0;
    }
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->idFrom == static_cast<UINT_PTR>(kDownloadListId) && header->code == static_cast<UINT>(NM_RCLICK)) {
        ShowDownloadMenu(g.main);
        return 0;
      }
      if (header->idFrom == static_cast<UINT_PTR>(kDownloadListId) &&
          (header->code == TVN_SELCHANGEDA || header->code == TVN_SELCHANGEDW)) {
        const int row = DownloadIndexOf(reinterpret_cast<NMTREEVIEWA*>(lParam)->itemNew.hItem);
        HostDownload* d = DownloadAt(row);
        Log("selected %d %s", row, d ? d->row.title.c_str() : "");
      }
      if (header->idFrom == static_cast<UINT_PTR>(kDownloadHeaderId) && header->code == HDN_ENDDRAG) {
        PostMessageA(g.main, kMsgRebuildRows, 0, 0);
      }
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE: {
      HWND inner = GetDlgItem(window, kPaneFirstId);
      if (inner) MoveWindow(inner, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      break;  // DefMDIChildProc must see WM_SIZE too
    }
    case WM_CLOSE:
      // The host keeps its views: closing one only minimises it.
      ShowWindow(window, SW_MINIMIZE);
      return 0;
  }
  return DefMDIChildProcA(window, message, wParam, lParam);
}

bool Register(const char* name, WNDPROC proc, HBRUSH background, HICON icon = nullptr, const char* menu = nullptr) {
  WNDCLASSEXA cls = {};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = proc;
  cls.hInstance = g.instance;
  cls.hCursor = LoadCursor(nullptr, IDC_ARROW);
  cls.hbrBackground = background;
  cls.lpszClassName = name;
  cls.hIcon = icon;
  cls.lpszMenuName = menu;
  return RegisterClassExA(&cls) != 0;
}

HWND Child(const char* cls, const char* text, DWORD style, int id, HWND parent, int x = 0, int y = 0, int w = 10,
           int h = 10, DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g.instance, nullptr);
}

HWND Frame(int titleId) {
  std::string title = LoadHostString(titleId);
  HWND frame = CreateMDIWindowA(kFrameClass, title.c_str(), WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 640, 360, g.mdiClient, g.instance, 0);
  return frame;
}

void FinishFrame(HWND frame) {
  RECT client;
  GetClientRect(frame, &client);
  SendMessageA(frame, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  SendMessageA(g.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
}

HWND MakeToolbar(HWND parent, int id, const int* commands, const char* const* labels, int count) {
  HWND bar = Child(TOOLBARCLASSNAME, "", TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER,
                   id, parent, 0, 0, 400, 26);
  SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(bar, TB_SETPARENT, reinterpret_cast<WPARAM>(g.main), 0);  // commands go to the frame
  SendMessageA(bar, TB_SETBITMAPSIZE, 0, MAKELONG(0, 0));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button = {};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = commands[i];
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = SendMessageA(bar, TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(labels[i]));
    SendMessageA(bar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
  }
  SendMessageA(bar, TB_AUTOSIZE, 0, 0);
  return bar;
}

void AddBand(HWND child, int width) {
  REBARBANDINFOA band = {};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
  band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
  band.hwndChild = child;
  band.cxMinChild = 100;
  band.cyMinChild = 26;
  band.cx = width;
  SendMessageA(g.rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

void CreateFrameFurniture() {
  g.rebar = Child(REBARCLASSNAME, "", RBS_VARHEIGHT | RBS_BANDBORDERS | CCS_NODIVIDER | WS_CLIPCHILDREN, kRebarId, g.main, 0,
                  0, 600, 30, WS_EX_TOOLWINDOW);
  const int mainCommands[] = {IDM_HOST_WEB, IDM_HOST_SEARCH, IDM_HOST_TRAFFIC, IDM_HOST_LIBRARY, IDM_HOST_SHARED_FOLDER,
                              IDM_HOST_TOOLS};
  const char* const mainLabels[] = {"Web", "Search", "Traffic", "My Vexlo", "My Shared Folder", "Tools"};
  AddBand(MakeToolbar(g.rebar, 0xE803, mainCommands, mainLabels, 6), 520);
  const int connectCommands[] = {IDM_HOST_CONNECT, IDM_HOST_DISCONNECT};
  const char* const connectLabels[] = {"Connect", "Disconnect"};
  AddBand(MakeToolbar(g.rebar, 0xE805, connectCommands, connectLabels, 2), 200);

  g.mdiClient = nullptr;
  CLIENTCREATESTRUCT mdi = {GetSubMenu(GetMenu(g.main), 4), 0xFF00};
  g.mdiClient = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL,
                                0, 0, 10, 10, g.main, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kPaneFirstId)),
                                g.instance, &mdi);

  // Bottom bars, in this order: status bar, ad banner bar, player bar.
  const DWORD barStyle = CCS_NORESIZE | CCS_NOPARENTALIGN;
  g.statusBar = Child(STATUSCLASSNAME, "", barStyle, kStatusBarId, g.main);
  int parts[] = {220, 420, -1};
  SendMessageA(g.statusBar, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
  SendMessageA(g.statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>("Ready"));
  SendMessageA(g.statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(g.scenario.statusText.c_str()));
  g.adBar = Child(STATUSCLASSNAME, "", barStyle, 0xE802, g.main);
  Child("Static", "Shared files: 0   Users online: 0", SS_LEFT, 1, g.adBar);
  Child("Static", "Vexlo", SS_CENTER, 2, g.adBar);
  g.playerBar = Child(STATUSCLASSNAME, "", barStyle, 0xE806, g.main);
  const int playerCommands[] = {IDM_HOST_THEATER};
  const char* const playerLabels[] = {"Play"};
  HWND player = MakeToolbar(g.playerBar, 0xE807, playerCommands, playerLabels, 1);
  Child(TRACKBAR_CLASSA, "", TBS_HORZ | TBS_NOTICKS, kPlayerChildId, player, 60, 2, 200, 22);

  // The panels the host hands to its add-ons: children of the main frame.
  g.panel = Child("Static", "Add-on panel", SS_CENTER | SS_SUNKEN, 0xE808, g.main);
  g.secondPanel = Child("Static", "Second add-on panel", SS_CENTER | SS_SUNKEN, 0xE809, g.main);
}

}  // namespace

bool RegisterHostClasses() {
  HICON icon = LoadIconA(g.instance, MAKEINTRESOURCEA(IDI_HOST_TRAY));
  HBRUSH face = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  return Register(kMainFrameClass, MainFrameProc, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1), icon,
                  MAKEINTRESOURCEA(IDM_HOST_MAIN)) &&
         Register(kFrameClass, FrameProc, face, icon) && Register(kPaneClass, PaneProc, face) &&
         Register(kTrafficClass, TrafficProc, face) && Register(kFormClass, SearchFormProc, face);
}

HWND CreateMainFrame() {
  std::string title = LoadHostString(IDS_HOST_APP_NAME);
  g.main = CreateWindowExA(0, kMainFrameClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 40, 900, 640,
                           nullptr, nullptr, g.instance, nullptr);
  if (!g.main) return nullptr;
  CreateFrameFurniture();
  g.downloadMenu = LoadMenuA(g.instance, MAKEINTRESOURCEA(IDM_HOST_DOWNLOAD));
  return g.mdiClient ? g.main : nullptr;
}

void LayoutMainFrame() {
  if (!g.main || !g.rebar) return;
  RECT client;
  GetClientRect(g.main, &client);
  SendMessageA(g.rebar, WM_SIZE, 0, 0);
  MoveWindow(g.rebar, 0, 0, client.right, 30, TRUE);
  RECT rebar;
  GetWindowRect(g.rebar, &rebar);
  int top = rebar.bottom - rebar.top;
  int bottom = client.bottom;
  MoveWindow(g.statusBar, 0, bottom - kStatusHeight, client.right, kStatusHeight, TRUE);
  bottom -= kStatusHeight;
  MoveWindow(g.adBar, 0, bottom - kAdBarHeight, client.right, kAdBarHeight, TRUE);
  MoveWindow(GetDlgItem(g.adBar, 1), 4, 4, client.right - kLogoWidth - 8, kAdBarHeight - 8, TRUE);
  MoveWindow(GetDlgItem(g.adBar, 2), client.right - kLogoWidth, 4, kLogoWidth - 4, kAdBarHeight - 8, TRUE);
  if (g.panel) {
    MoveWindow(g.panel, client.right / 2, bottom - kAdBarHeight + 4, client.right / 2 - kLogoWidth - 4, kAdBarHeight - 8, TRUE);
    SetWindowPos(g.panel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  if (g.secondPanel) {
    MoveWindow(g.secondPanel, 4, bottom - kAdBarHeight + 4, client.right / 2 - 8, kAdBarHeight - 8, TRUE);
    SetWindowPos(g.secondPanel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  bottom -= kAdBarHeight;
  MoveWindow(g.playerBar, 0, bottom - kPlayerBarHeight, client.right, kPlayerBarHeight, TRUE);
  bottom -= kPlayerBarHeight;
  MoveWindow(g.mdiClient, 0, top, client.right, bottom - top, TRUE);
}

void CreateWebWindow() {
  if (g.webFrame) return;
  g.webFrame = Frame(IDS_HOST_WEB_TITLE);
  HWND inner = Child(kPaneClass, "", WS_CLIPCHILDREN, kPaneFirstId, g.webFrame);
  Child("Static", "Welcome to Vexlo Aero V++", SS_CENTER, 1, inner);
  FinishFrame(g.webFrame);
  Log("window web created");
}

void CreateSearchWindow() {
  if (g.searchFrame) return;
  g.searchFrame = Frame(IDS_HOST_SEARCH_TITLE);
  HWND inner = Child(kPaneClass, "", WS_CLIPCHILDREN, kPaneFirstId, g.searchFrame);
  g.searchForm = Child(kFormClass, "", WS_CLIPCHILDREN, kPaneFirstId, inner);
  Child("Static", "Search for:", SS_LEFT, 1, g.searchForm, 8, 10, 70, 18);
  Child("Edit", g.scenario.searchText.c_str(), WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, kSearchTextId, g.searchForm, 80, 8,
        220, 20);
  Child("Button", "Search", BS_PUSHBUTTON | WS_TABSTOP, kSearchButtonId, g.searchForm, 310, 6, 80, 24);
  Child("Button", "Search More", BS_PUSHBUTTON | WS_TABSTOP, kSearchMoreButtonId, g.searchForm, 400, 6, 100, 24);
  Child("Button", "Stop", BS_PUSHBUTTON | WS_TABSTOP, kSearchStopId, g.searchForm, 510, 6, 60, 24);
  // Left of the form's right side, which an add-on's panel may take: the whole
  // label stays in view beside it.
  Child("Button", "Search more automatically allowed", BS_AUTOCHECKBOX | WS_TABSTOP, kSearchCheckId, g.searchForm, 8,
        36, 300, 20);
  // Narrow enough to leave the form's right side to an add-on's panel.
  Child("Static", "", SS_LEFT, kSearchStatusId, g.searchForm, 8, 62, 350, 18);
  HWND results = Child(kPaneClass, "", WS_CLIPCHILDREN, kPaneSecondId, inner);
  HWND holder = Child(kPaneClass, "", WS_CLIPCHILDREN, kResultsHolderId, results);
  g.resultsList = Child(WC_TREEVIEWA, "", WS_BORDER | TVS_SHOWSELALWAYS, kResultsListId, holder);
  SetSearchRunning(g.scenario.searchRunning);
  FinishFrame(g.searchFrame);
  Log("window search created");
}

void CreateTrafficWindow() {
  if (g.trafficFrame) return;
  g.trafficFrame = Frame(IDS_HOST_TRAFFIC_TITLE);
  HWND inner = Child(kPaneClass, "", WS_CLIPCHILDREN, kPaneFirstId, g.trafficFrame);
  HWND view = Child(kPaneClass, "", WS_CLIPCHILDREN, kPaneFirstId, inner);
  g.trafficWindow = Child(kTrafficClass, "", WS_CLIPCHILDREN, kTrafficWindowId, view);
  g.header = Child(WC_HEADERA, "", HDS_HORZ | HDS_BUTTONS | HDS_DRAGDROP, kDownloadHeaderId, g.trafficWindow);
  g.downloadList = Child(WC_TREEVIEWA, "", WS_BORDER | TVS_SHOWSELALWAYS | TVS_HASBUTTONS | TVS_FULLROWSELECT,
                         kDownloadListId, g.trafficWindow);
  // Filled without drawing, as a host fills a list in bulk: a visible list drawn
  // anew for every row keeps the host's thread from its messages for seconds.
  SendMessageA(g.downloadList, WM_SETREDRAW, FALSE, 0);
  FillDownloadList();
  SendMessageA(g.downloadList, WM_SETREDRAW, TRUE, 0);
  FinishFrame(g.trafficFrame);
  Log("window traffic created");
}

namespace {
// The list view's own procedure, under the host's recorder: a list whose end
// reaches it frees its items, and the log says so.
WNDPROC libraryListProc = nullptr;
LRESULT CALLBACK LibraryListEndRecorder(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) Log("window library list freed");
  return CallWindowProcA(libraryListProc, window, message, wParam, lParam);
}
}  // namespace

void CreateLibraryWindow() {
  if (g.libraryFrame) return;
  g.libraryFrame = Frame(IDS_HOST_LIBRARY_TITLE);
  HWND inner = Child(kPaneClass, "", WS_CLIPCHILDREN, kPaneFirstId, g.libraryFrame);
  g.libraryPane = Child(kPaneClass, "", WS_CLIPCHILDREN, kPaneSecondId, inner);
  g.libraryList = Child(WC_LISTVIEWA, "", WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS, kLibraryListId, g.libraryPane);
  libraryListProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(g.libraryList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LibraryListEndRecorder)));
  SendMessageA(g.libraryList, WM_SETREDRAW, FALSE, 0);
  FillLibraryList();
  SendMessageA(g.libraryList, WM_SETREDRAW, TRUE, 0);
  FinishFrame(g.libraryFrame);
  Log("window library created");
}

bool DestroyWindowByName(const std::string& name) {
  HWND* frame = name == "library" ? &g.libraryFrame : name == "traffic" ? &g.trafficFrame
                : name == "search"  ? &g.searchFrame  : nullptr;
  if (!frame || !*frame) return false;
  SendMessageA(g.mdiClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(*frame), 0);
  *frame = nullptr;
  if (name == "library") g.libraryPane = g.libraryList = nullptr;
  if (name == "search") g.searchForm = g.resultsList = nullptr;
  if (name == "traffic") {
    g.trafficWindow = g.downloadList = g.header = nullptr;
    for (auto& d : g.downloads) d->item = nullptr;  // listed again when the window is made again
  }
  Log("window %s destroyed", name.c_str());
  return true;
}

namespace {
INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  if (message == WM_INITDIALOG) return TRUE;
  if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
    EndDialog(dialog, 1);
    return TRUE;
  }
  return FALSE;
}
}  // namespace

void ShowHostAbout() { DialogBoxParamA(g.instance, MAKEINTRESOURCEA(IDD_HOST_ABOUT), g.main, AboutProc, 0); }

}  // namespace va::hostsim
