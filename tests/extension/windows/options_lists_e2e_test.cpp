// The options dialog's list pages end to end: hostsim.exe with the real
// ch_plug.dll; the dialog opened by the module's command in the host's menu, its
// Tools, File Organizer and Add-on pages driven from this process by window
// messages, the registry and the host's menus read from outside.
#include <windows.h>

#include <commctrl.h>

#include <map>
#include <utility>
#include <vector>

#include "options_e2e_support.h"

namespace va {
namespace {

const char kLocalContent[] = "SOFTWARE\\Vexlo\\LocalContent";
const char kModuleCaption[] = "VA Extensions";
constexpr int kMessageText = 0xFFFF;  // the text of a message box
constexpr int kHandledWithinMs = 15000;

// Every value of a key: name -> (type, bytes), for byte-for-byte comparisons.
using KeyDump = std::map<std::string, std::pair<DWORD, std::string>>;
KeyDump DumpKey(HKEY root, const char* path) {
  KeyDump dump;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return dump;
  for (DWORD index = 0;; ++index) {
    char name[256];
    BYTE data[4096];
    DWORD nameLength = sizeof name, dataLength = sizeof data, type = 0;
    if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    dump[name] = {type, std::string(reinterpret_cast<char*>(data), dataLength)};
  }
  RegCloseKey(key);
  return dump;
}

std::string Text(const std::string& text) { return text + std::string(1, '\0'); }

std::string StoredText(HKEY root, const char* key, const std::string& name) {
  auto value = ReadStoredValue(root, key, name.c_str());
  if (!value.exists) return "<missing>";
  while (!value.bytes.empty() && value.bytes.back() == '\0') value.bytes.pop_back();
  return value.bytes;
}

void Post(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}

class OptionsListsEndToEnd : public OptionsEndToEnd {
 protected:
  void SetUp() override {
    OptionsEndToEnd::SetUp();
    test::DeleteTree(HKEY_CURRENT_USER, kLocalContent);
  }
  void TearDown() override {
    OptionsEndToEnd::TearDown();
    test::DeleteTree(HKEY_CURRENT_USER, kLocalContent);
  }
  static void PutTool(int number, const std::string& title, const std::string& cmd) {
    PutRawValue(HKEY_CURRENT_USER, kToolsKey, ("Title" + std::to_string(number)).c_str(), REG_SZ, Text(title));
    PutRawValue(HKEY_CURRENT_USER, kToolsKey, ("Cmd" + std::to_string(number)).c_str(), REG_SZ, Text(cmd));
  }
  static void PutFilter(int number, const std::string& title, const std::string& dest) {
    const std::string n = std::to_string(number);
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Title" + n).c_str(), REG_SZ, Text(title));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Filter" + n).c_str(), REG_SZ, Text("*." + n));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Dest" + n).c_str(), REG_SZ, Text(dest));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Action" + n).c_str(), REG_DWORD, Dword(1));
  }
  static void PutAddOn(int number, const std::string& path) {
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, ("Dll" + std::to_string(number)).c_str(), REG_SZ, Text(path));
  }
  // Opens the dialog through the host's menu command and shows page `pageId`.
  static HWND OpenPage(HostSim& host, int pageId, HWND& dialog) {
    dialog = Open(host, kOptionsCommand);
    if (!dialog) return nullptr;
    SelectPage(dialog, pageId);
    HWND page = GetDlgItem(dialog, pageId);
    return page && IsWindowVisible(page) ? page : nullptr;
  }
  static HWND WaitForHostWindow(HostSim& host, const char* caption) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = HostTopWindow(host, "#32770", caption)) != nullptr; }, kDeadlineMs);
    return window;
  }
  // Waits for the module's message box, returns its text and answers it.
  static std::string AnswerMessage(HostSim& host) {
    HWND box = WaitForHostWindow(host, kModuleCaption);
    if (!box) return "<no message box>";
    char text[512] = "";
    GetDlgItemTextA(box, kMessageText, text, sizeof text);
    Post(box, IDOK);
    WaitUntil([&] { return !IsWindow(box); }, kDeadlineMs);
    return text;
  }
  static int Rows(HWND page, int listId) { return int(SendDlgItemMessageA(page, listId, LB_GETCOUNT, 0, 0)); }
  static void SelectRow(HWND page, int listId, int row) {
    SendDlgItemMessageA(page, listId, LB_SETCURSEL, row, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, listId)));
  }
  static int AddOnRows(HWND page) { return int(SendDlgItemMessageA(page, 2101, LVM_GETITEMCOUNT, 0, 0)); }
  // Add, the path, Save on the Add-on page.
  static void AddAddOn(HWND page, const std::string& path) {
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(2102, BN_CLICKED), 0);
    SetDlgItemTextA(page, 2105, path.c_str());
    Post(page, 2107);
  }
  // Logs the host's menu bar and tells whether any menu holds command `id`.
  static bool MenuBarHolds(HostSim& host, unsigned id) {
    const int before = host.CountLog("menubar-end");
    if (!host.Send("menubar") || !host.WaitForLog("menubar-end", kDeadlineMs, before + 1)) return false;
    const std::string wanted = " id=" + std::to_string(id) + " ";
    bool inLastDump = false, found = false;
    for (const std::string& line : host.LogTexts()) {
      if (line.rfind("menubar handle=", 0) == 0) {
        inLastDump = true;
        found = false;
      }
      if (inLastDump && line.find(wanted) != std::string::npos) found = true;
    }
    return found;
  }
};

TEST_F(OptionsListsEndToEnd, ANewToolMovedUpIsStoredByApplyAndAppearsInTheToolsMenu) {
  PutRawValue(HKEY_CURRENT_USER, kExtKey, "AddToMainMenu", REG_DWORD, Dword(1));
  PutTool(1, "Editor", "ed.exe");
  HostSim host;
  StartHost(host);
  // The module puts Tools into the menu bar when the main window first paints.
  ASSERT_TRUE(WaitUntil([&] {
    RedrawWindow(host.MainWindow(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return MenuBarHolds(host, 10000);
  }, kDeadlineMs)) << "the Tools menu never reached the menu bar";
  EXPECT_FALSE(MenuBarHolds(host, 10001));

  HWND dialog = nullptr;
  HWND page = OpenPage(host, 204, dialog);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Rows(page, 2001), 1);
  Post(page, 2004);
  HWND item = WaitForHostWindow(host, "Tool Item Properties");
  ASSERT_NE(item, nullptr) << "Add opens the tool item dialog";
  SetDlgItemTextA(item, 1023, "Notes");
  SetDlgItemTextA(item, 1024, "notepad.exe");
  Post(item, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(item); }, kDeadlineMs));
  ASSERT_TRUE(WaitUntil([&] { return Rows(page, 2001) == 2; }, kDeadlineMs));
  SelectRow(page, 2001, 1);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2002, BN_CLICKED), 0);  // up
  EXPECT_EQ(SendDlgItemMessageA(page, 2001, LB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kToolsKey, "Title2"), "<missing>") << "nothing stored before Apply";

  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kToolsKey, "Title1"), "Notes");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kToolsKey, "Cmd1"), "notepad.exe");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kToolsKey, "Title2"), "Editor");
  EXPECT_TRUE(MenuBarHolds(host, 10001)) << "the Tools menu holds the second tool at once";
  ExitHost(host);
}

TEST_F(OptionsListsEndToEnd, EachListRefusesAnEntryBeyondItsLimit) {
  for (int n = 1; n <= 32; ++n) PutTool(n, "Tool " + std::to_string(n), "t.exe");
  for (int n = 1; n <= 64; ++n) PutFilter(n, "Filter " + std::to_string(n), "C:\\Filtered");
  for (int n = 1; n <= 8; ++n) PutAddOn(n, "C:\\Add-ons\\missing" + std::to_string(n) + ".dll");
  const KeyDump tools = DumpKey(HKEY_CURRENT_USER, kToolsKey);
  HostSim host;
  StartHost(host);
  HWND dialog = nullptr;
  HWND page = OpenPage(host, 204, dialog);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Rows(page, 2001), 32);
  Post(page, 2004);
  EXPECT_EQ(AnswerMessage(host), "No more items are allowed.") << "a 33rd tool";
  Post(page, 2007);
  EXPECT_EQ(AnswerMessage(host), "No more items are allowed.") << "a 33rd item as a separator";
  EXPECT_EQ(Rows(page, 2001), 32);

  SelectPage(dialog, 205);
  page = GetDlgItem(dialog, 205);
  EXPECT_EQ(Rows(page, 2201), 64);
  Post(page, 2204);
  EXPECT_EQ(AnswerMessage(host), "No more items are allowed.") << "a 65th filter";

  SelectPage(dialog, 206);
  page = GetDlgItem(dialog, 206);
  EXPECT_EQ(AddOnRows(page), 8);
  Post(page, 2102);
  EXPECT_EQ(AnswerMessage(host), "No more items are allowed.") << "a ninth add-on";
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 2105))) << "no edit mode after the refusal";

  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(DumpKey(HKEY_CURRENT_USER, kToolsKey), tools);
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll8"), "C:\\Add-ons\\missing8.dll");
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll9"), "<missing>");
  ExitHost(host);
}

TEST_F(OptionsListsEndToEnd, AddOnPageRefusesDuplicateAndInvalidFilesAndApplyStoresTheList) {
  HostSim host;
  const std::string first = host.CopyIn(test::TestAddOnLibrary(), "first addon.dll");
  const std::string second = host.CopyIn(test::TestAddOnLibrary(), "second addon.dll");
  const std::string invalid = host.CopyIn(test::NoExportsLibrary(), "no exports.dll");
  PutAddOn(1, first);
  StartHost(host);
  HWND dialog = nullptr;
  HWND page = OpenPage(host, 206, dialog);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(AddOnRows(page), 1);

  std::string upper = first;
  CharUpperBuffA(upper.data(), DWORD(upper.size()));
  AddAddOn(page, upper);
  EXPECT_EQ(AnswerMessage(host), "This add-on file is already in the list!");
  SetDlgItemTextA(page, 2105, invalid.c_str());
  Post(page, 2107);
  EXPECT_EQ(AnswerMessage(host), "This file is not a valid ch_plug.dll format add-on file");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, 2105))) << "still in edit mode";
  SetDlgItemTextA(page, 2105, second.c_str());
  Post(page, 2107);
  ASSERT_TRUE(WaitUntil([&] { return AddOnRows(page) == 2; }, kDeadlineMs));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, 2105)));

  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll1"), first);
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll2"), second);
  EXPECT_EQ(StoredText(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll3"), "<missing>");
  ExitHost(host);
}

TEST_F(OptionsListsEndToEnd, AFilterAddedOnTheOrganizerPageStartsTheWatcher) {
  HostSim host;
  const std::string shared = host.Join("My Shared Folder");
  const std::string copies = host.Join("Copies");
  CreateDirectoryA(shared.c_str(), nullptr);
  CreateDirectoryA(copies.c_str(), nullptr);
  PutRawValue(HKEY_CURRENT_USER, kLocalContent, "DownloadDir", REG_SZ, Text(shared));
  StartHost(host);
  HWND dialog = nullptr;
  HWND page = OpenPage(host, 205, dialog);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Rows(page, 2201), 0);
  Post(page, 2204);
  HWND filter = WaitForHostWindow(host, "Filter Properties");
  ASSERT_NE(filter, nullptr) << "Add opens the filter properties dialog";
  SetDlgItemTextA(filter, 1023, "Texts");
  SetDlgItemTextA(filter, 1109, "*.txt");
  SendDlgItemMessageA(filter, 1117, BM_SETCHECK, BST_CHECKED, 0);
  SendDlgItemMessageA(filter, 1118, BM_SETCHECK, BST_UNCHECKED, 0);
  SetDlgItemTextA(filter, 1119, copies.c_str());
  Post(filter, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(filter); }, kDeadlineMs));
  ASSERT_TRUE(WaitUntil([&] { return Rows(page, 2201) == 1; }, kDeadlineMs));

  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kFiltersKey, "Title1"), "Texts");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kFiltersKey, "Dest1"), copies);
  HANDLE file = CreateFileA((shared + "\\notes.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, "notes", 5, &written, nullptr);
  CloseHandle(file);
  EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA((copies + "\\notes.txt").c_str()) != INVALID_FILE_ATTRIBUTES; },
                        kHandledWithinMs))
      << "the watcher started by Apply copies the new file";
  ExitHost(host);
}

TEST_F(OptionsListsEndToEnd, UpDownReordersAndCancelAfterEditingStoresNothing) {
  for (int n = 1; n <= 3; ++n) PutTool(n, "Tool " + std::to_string(n), "t" + std::to_string(n) + ".exe");
  for (int n = 1; n <= 3; ++n) PutFilter(n, "Filter " + std::to_string(n), "C:\\Filtered");
  HostSim host;
  const std::string addOn = host.CopyIn(test::TestAddOnLibrary(), "kept.dll");
  const std::string other = host.CopyIn(test::TestAddOnLibrary(), "other.dll");
  PutAddOn(1, addOn);
  const KeyDump tools = DumpKey(HKEY_CURRENT_USER, kToolsKey);
  const KeyDump filters = DumpKey(HKEY_CURRENT_USER, kFiltersKey);
  const KeyDump addOns = DumpKey(HKEY_LOCAL_MACHINE, kAddOnKey);
  StartHost(host);

  HWND dialog = nullptr;
  HWND page = OpenPage(host, 204, dialog);
  ASSERT_NE(page, nullptr);
  SelectRow(page, 2001, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2003, BN_CLICKED), 0);  // down
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2006, BN_CLICKED), 0);  // delete
  EXPECT_EQ(Rows(page, 2001), 2);
  SelectPage(dialog, 205);
  page = GetDlgItem(dialog, 205);
  SelectRow(page, 2201, 2);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2202, BN_CLICKED), 0);  // up
  EXPECT_EQ(SendDlgItemMessageA(page, 2201, LB_GETCURSEL, 0, 0), 1);
  SelectPage(dialog, 206);
  page = GetDlgItem(dialog, 206);
  AddAddOn(page, other);
  ASSERT_TRUE(WaitUntil([&] { return AddOnRows(page) == 2; }, kDeadlineMs));
  ASSERT_TRUE(Close(host, dialog, IDCANCEL));
  EXPECT_EQ(DumpKey(HKEY_CURRENT_USER, kToolsKey), tools);
  EXPECT_EQ(DumpKey(HKEY_CURRENT_USER, kFiltersKey), filters);
  EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kAddOnKey), addOns);

  // The same moves applied: the stored order follows the pages.
  page = OpenPage(host, 204, dialog);
  ASSERT_NE(page, nullptr);
  SelectRow(page, 2001, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2003, BN_CLICKED), 0);
  SelectPage(dialog, 205);
  page = GetDlgItem(dialog, 205);
  SelectRow(page, 2201, 2);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2202, BN_CLICKED), 0);
  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kToolsKey, "Title1"), "Tool 2");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kToolsKey, "Title2"), "Tool 1");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kToolsKey, "Cmd2"), "t1.exe");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kFiltersKey, "Title2"), "Filter 3");
  EXPECT_EQ(StoredText(HKEY_CURRENT_USER, kFiltersKey, "Title3"), "Filter 2");
  ExitHost(host);
}

}  // namespace
}  // namespace va
