// options_page_test_support: an options page created in-process on a parent window
// of the test's own, pressing its buttons, sending Apply, simulating drags, and
// scripting the modal dialogs a page opens.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace va::test {

class OptionsPageTest : public testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates page `id` with `proc`; the page reads its settings now.
  HWND Open(int id, DLGPROC proc);
  // Destroys the page without Apply (what Cancel does to it).
  void Close();
  HWND page() const { return page_; }
  HWND Item(int id) const { return GetDlgItem(page_, id); }
  void Press(int id);
  void Apply();
  std::string Text(int id) const;
  bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }

  // List box rows of an owner-drawn list without strings.
  int Count(int listId) const { return int(SendMessageA(Item(listId), LB_GETCOUNT, 0, 0)); }
  int Selected(int listId) const { return int(SendMessageA(Item(listId), LB_GETCURSEL, 0, 0)); }
  // Selects a row as a click does (with the selection-change notification).
  void Select(int listId, int row);
  // Drags row `from` of the list to row `to` through the page's drag-list
  // notifications; returns the insertion mark answer of the dragging step.
  LRESULT Drag(int listId, int from, int to);

 private:
  HWND parent_ = nullptr;
  HWND page_ = nullptr;
};

// Runs `script` on the first window titled `caption` that becomes active while it
// lives (a modal dialog the page opens); the script fills it and posts a button.
class ModalScript {
 public:
  ModalScript(std::string caption, std::function<void(HWND)> script);
  ~ModalScript();
  ModalScript(const ModalScript&) = delete;
  ModalScript& operator=(const ModalScript&) = delete;
  bool ran() const { return ran_; }

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  std::string caption_;
  std::function<void(HWND)> script_;
  HHOOK hook_ = nullptr;
  bool ran_ = false;
};

void PostClick(HWND dialog, int id);

// A stored text value without the terminating zeros; "<missing>" when absent.
std::string StoredText(HKEY root, const std::string& key, const std::string& name);

}  // namespace va::test
