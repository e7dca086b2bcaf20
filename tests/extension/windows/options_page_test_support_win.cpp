// options_page_test_support_win: page fixture and modal dialog scripting for the
// options pages' in-process tests.
#include "options_page_test_support.h"

#include "extension/core/module_state.h"
#include "extension/windows/options_pages_win.h"
#include "support/scratch_registry.h"

namespace va::test {

namespace {
ModalScript* activeScript = nullptr;
}  // namespace

void OptionsPageTest::SetUp() {
  ModuleInstance = GetModuleHandleA(nullptr);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  parent_ = CreateWindowExA(0, "STATIC", "Options page test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480,
                            nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent_, nullptr);
}

void OptionsPageTest::TearDown() {
  Close();
  DestroyWindow(parent_);
}

HWND OptionsPageTest::Open(int id, DLGPROC proc) {
  Close();
  page_ = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(id), parent_, proc, 0);
  if (page_) ShowWindow(page_, SW_SHOW);
  return page_;
}

void OptionsPageTest::Close() {
  if (page_) DestroyWindow(page_);
  page_ = nullptr;
}

void OptionsPageTest::Press(int id) {
  SendMessageA(page_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void OptionsPageTest::Apply() { SendMessageA(page_, kOptionsApplyMessage, 0, 0); }

std::string OptionsPageTest::Text(int id) const {
  char text[1024] = "";
  GetDlgItemTextA(page_, id, text, sizeof text);
  return text;
}

void OptionsPageTest::Select(int listId, int row) {
  SendMessageA(Item(listId), LB_SETCURSEL, row, 0);
  SendMessageA(page_, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Item(listId)));
}

LRESULT OptionsPageTest::Drag(int listId, int from, int to) {
  const UINT message = RegisterWindowMessageA(DRAGLISTMSGSTRING);
  HWND list = Item(listId);
  auto rowCentre = [list](int row) {
    RECT rect = {};
    SendMessageA(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    POINT point = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(list, &point);
    return point;
  };
  DRAGLISTINFO info = {DL_BEGINDRAG, list, rowCentre(from)};
  SendMessageA(page_, message, listId, reinterpret_cast<LPARAM>(&info));
  info.uNotification = DL_DRAGGING;
  info.ptCursor = rowCentre(to);
  const LRESULT dragging = SendMessageA(page_, message, listId, reinterpret_cast<LPARAM>(&info));
  info.uNotification = DL_DROPPED;
  SendMessageA(page_, message, listId, reinterpret_cast<LPARAM>(&info));
  return dragging;
}

ModalScript::ModalScript(std::string caption, std::function<void(HWND)> script)
    : caption_(std::move(caption)), script_(std::move(script)) {
  activeScript = this;
  hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

ModalScript::~ModalScript() {
  UnhookWindowsHookEx(hook_);
  activeScript = nullptr;
}

LRESULT CALLBACK ModalScript::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && activeScript && !activeScript->ran_) {
    HWND window = reinterpret_cast<HWND>(wParam);
    char caption[256] = "";
    GetWindowTextA(window, caption, sizeof caption);
    if (activeScript->caption_ == caption) {
      activeScript->ran_ = true;
      activeScript->script_(window);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

void PostClick(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

std::string StoredText(HKEY root, const std::string& key, const std::string& name) {
  StoredValue value = ReadStoredValue(root, key, name.c_str());
  if (!value.exists) return "<missing>";
  while (!value.bytes.empty() && value.bytes.back() == '\0') value.bytes.pop_back();
  return value.bytes;
}

}  // namespace va::test
