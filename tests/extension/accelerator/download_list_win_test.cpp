// The download list access against a real tree view and header made here, and the
// engine running over it: rows, cells by header order, guarded row reads, state
// names and column order from the host, and the commands the host receives.
#include "extension/accelerator/download_list_win.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "extension/accelerator/accelerator_win.h"
#include "extension/core/host_layout.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

// A host stand-in: a main window that records the commands it gets together
// with the row selected at that moment, and a Traffic window holding the list
// (tree view 373) and its header (337).
struct CommandRecord {
  WORD id;
  std::string selectedTitle;
};
std::vector<CommandRecord>* Commands = nullptr;
HWND ListForCommands = nullptr;

LRESULT CALLBACK RecordingMainProc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
  if (m == WM_COMMAND && Commands) {
    auto selected = reinterpret_cast<HTREEITEM>(SendMessageA(ListForCommands, TVM_GETNEXTITEM, TVGN_CARET, 0));
    std::string title;
    if (selected) {
      std::string text;
      ReadRowText(DownloadData(ListForCommands, selected), text);
      title = text.substr(0, text.find('\xB6'));
    }
    Commands->push_back({LOWORD(wp), title});
    return 0;
  }
  return DefWindowProcA(w, m, wp, lp);
}

class DownloadList : public testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = RecordingMainProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "AccelTestMain";
    RegisterClassA(&wc);
    main_ = CreateWindowExA(0, "AccelTestMain", "main", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                            wc.hInstance, nullptr);
    traffic_ = CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 400, 300, main_, reinterpret_cast<HMENU>(1381),
                               wc.hInstance, nullptr);
    list_ = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD, 0, 20, 400, 280, traffic_,
                            reinterpret_cast<HMENU>(kDownloadListId), wc.hInstance, nullptr);
    header_ = CreateWindowExA(0, WC_HEADERA, "", WS_CHILD, 0, 0, 400, 20, traffic_,
                              reinterpret_cast<HMENU>(kDownloadHeaderId), wc.hInstance, nullptr);
    ASSERT_TRUE(main_ && traffic_ && list_ && header_);
    for (int i = 0; i < 9; ++i) {
      HDITEMA hd = {};
      hd.mask = HDI_TEXT | HDI_WIDTH;
      hd.cxy = 40;
      char text[] = "c";
      hd.pszText = text;
      SendMessageA(header_, HDM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&hd));
    }
    Commands = &commands_;
    ListForCommands = list_;
  }
  void TearDown() override {
    Commands = nullptr;
    DestroyWindow(main_);
  }

  // A row whose text is `cells` joined by 0xB6; the record and text live here.
  HTREEITEM AddRow(const std::vector<std::string>& cells) {
    auto text = std::make_unique<std::string>();
    for (size_t i = 0; i < cells.size(); ++i) *text += (i ? "\xB6" : "") + cells[i];
    auto record = std::make_unique<Record>();
    host::WritePointerAt(record->bytes, host::kRowTextPointerOffset, text->c_str());
    TVINSERTSTRUCTA ins = {};
    ins.hParent = TVI_ROOT;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM;
    char label[] = "row";
    ins.item.pszText = label;
    ins.item.lParam = reinterpret_cast<LPARAM>(record.get());
    texts_.push_back(std::move(text));
    records_.push_back(std::move(record));
    return reinterpret_cast<HTREEITEM>(SendMessageA(list_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&ins)));
  }
  // The nine cells of a row with the title in cell 1 and the status in cell 5.
  HTREEITEM AddDownload(const std::string& title, const std::string& status, const std::string& speed = "0") {
    return AddRow({title, "1 MB", "", "", status, "", "", speed, title + ".mp3"});
  }

  HWND main_ = nullptr, traffic_ = nullptr, list_ = nullptr, header_ = nullptr;
  std::vector<std::unique_ptr<std::string>> texts_;
  struct Record {
    unsigned char bytes[host::kDownloadRecordSize] = {};
  };
  std::vector<std::unique_ptr<Record>> records_;
  std::vector<CommandRecord> commands_;
};

TEST_F(DownloadList, WalksTopLevelRowsOnlyAndReadsTheirText) {
  HTREEITEM a = AddDownload("a", "Paused");
  HTREEITEM b = AddDownload("b", "Queued");
  TVINSERTSTRUCTA child = {};
  child.hParent = a;
  child.item.mask = TVIF_PARAM;
  child.item.lParam = 0;
  SendMessageA(list_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&child));
  EXPECT_EQ(FirstDownload(list_), a);
  EXPECT_EQ(NextDownload(list_, a), b);
  EXPECT_EQ(NextDownload(list_, b), nullptr);
  std::string text;
  ASSERT_TRUE(ReadRowText(DownloadData(list_, b), text));
  EXPECT_EQ(text, "b\xB6" "1 MB\xB6\xB6\xB6Queued\xB6\xB6\xB6" "0\xB6" "b.mp3");
  EXPECT_TRUE(IsListedDownload(list_, b));
  SendMessageA(list_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(b));
  EXPECT_FALSE(IsListedDownload(list_, b));
}

TEST_F(DownloadList, ColumnPositionFollowsTheHeaderOrder) {
  EXPECT_EQ(ColumnPositionIn(header_, 4), 5);
  int order[9] = {4, 0, 1, 2, 3, 5, 6, 7, 8};  // the status column dragged to the front
  SendMessageA(header_, HDM_SETORDERARRAY, 9, reinterpret_cast<LPARAM>(order));
  EXPECT_EQ(ColumnPositionIn(header_, 4), 1);
  EXPECT_EQ(ColumnPositionIn(header_, 0), 2);
  EXPECT_EQ(ColumnPositionIn(nullptr, 4), 0);
  EXPECT_EQ(ColumnPositionIn(header_, 40), 0);
}

TEST_F(DownloadList, UnreadableRowsReadAsFalseWithoutAFault) {
  std::string text;
  EXPECT_FALSE(ReadRowText(0, text));
  // A record in memory that has been given back.
  void* gone = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(gone, nullptr);
  VirtualFree(gone, 0, MEM_RELEASE);
  EXPECT_FALSE(ReadRowText(reinterpret_cast<LPARAM>(gone), text));
  // A text running into an unreadable page without its end mark.
  char* pages = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  ASSERT_NE(pages, nullptr);
  DWORD old = 0;
  VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old);
  memset(pages, 'x', 4096);
  unsigned char record[host::kDownloadRecordSize] = {};
  host::WritePointerAt(record, host::kRowTextPointerOffset, pages + 4000);
  EXPECT_FALSE(ReadRowText(reinterpret_cast<LPARAM>(record), text));
  // The same text with its end mark just before the page ends reads whole.
  pages[4095] = '\0';
  ASSERT_TRUE(ReadRowText(reinterpret_cast<LPARAM>(record), text));
  EXPECT_EQ(text.size(), 95u);
  // A long text is cut at the limit.
  ASSERT_TRUE(ReadRowText(reinterpret_cast<LPARAM>(record), text, 10));
  EXPECT_EQ(text, std::string(10, 'x'));
  VirtualFree(pages, 0, MEM_RELEASE);
}

TEST_F(DownloadList, StateNamesAndColumnOrderComeFromTheHost) {
  HMODULE host = GetModuleHandleA(nullptr);
  EXPECT_EQ(LoadStatusName(host, DownloadState::Paused, kAcceleratorStateCapacity), "Paused");
  EXPECT_EQ(LoadStatusName(host, DownloadState::RemotelyQueued, kBulkStateCapacity), "Remotely queued");
  EXPECT_EQ(LoadStatusName(host, DownloadState::MoreSourcesNeeded, 8), "More so");  // capacity 8: 7 characters

  const std::string key = "Software\\Vexlo\\AccelTestHost\\Download Order";
  test::DeleteTree(HKEY_CURRENT_USER, key);
  DownloadColumnMap map;
  map.statusColumn = 77;
  LoadDownloadColumnMapFrom(host, map);
  EXPECT_EQ(map.statusColumn, 4);  // no key: the defaults
  const uint32_t status = 4, speed = 7, other = 99;
  test::PutRawValue(HKEY_CURRENT_USER, key, "3", REG_DWORD, std::string(reinterpret_cast<const char*>(&status), 4));
  test::PutRawValue(HKEY_CURRENT_USER, key, "6", REG_DWORD, std::string(reinterpret_cast<const char*>(&speed), 4));
  test::PutRawValue(HKEY_CURRENT_USER, key, "1", REG_DWORD, std::string(reinterpret_cast<const char*>(&other), 4));
  LoadDownloadColumnMapFrom(host, map);
  EXPECT_EQ(map.statusColumn, 3);
  EXPECT_EQ(map.speedColumn, 6);
  EXPECT_EQ(map.titleColumn, 0);
  EXPECT_EQ(map.fileNameColumn, 8);
  test::DeleteTree(HKEY_CURRENT_USER, "Software\\Vexlo\\AccelTestHost");
}

TEST_F(DownloadList, SelectAndCommandReachTheHostForTheSelectedRow) {
  AddDownload("a", "Paused");
  HTREEITEM b = AddDownload("b", "Paused");
  SelectDownload(list_, b);
  SendHostCommandTo(main_, 61244);
  ASSERT_EQ(commands_.size(), 1u);
  EXPECT_EQ(commands_[0].id, 61244);
  EXPECT_EQ(commands_[0].selectedTitle, "b");
}

// Time passes at once; the test's own actions run at given moments.
class FastClock : public AcceleratorHostPort {
 public:
  explicit FastClock(std::function<void(int64_t)> onTick) : onTick_(std::move(onTick)) {}
  void Sleep(uint32_t ms) override {
    now_ += ms;
    onTick_(now_);
  }
  void WaitGate() override {}
  void ShowText(int, const std::string& text) override { shown.push_back(text); }
  void StatusChanged() override {}
  std::string Text(int id) override { return "text " + std::to_string(id); }
  std::vector<std::string> shown;

 private:
  int64_t now_ = 0;
  std::function<void(int64_t)> onTick_;
};

TEST_F(DownloadList, EngineOverTheRealListActsOnPausedRowsAndLeavesFinishedOnes) {
  AddDownload("done", "Completed");
  AddDownload("paused", "Paused");
  AddDownload("cancelled", "Cancelled");
  AddDownload("failed", "Failed");
  AddDownload("paused2", "Paused");
  AcceleratorSettings s;
  s.CyclesDelay = 30;
  s.ItemDelay = 1;
  AcceleratorWords words;
  FastClock clock([&](int64_t now) {
    if (now > 10'000) words.control = kAcceleratorStopRequested;
  });
  TreeDownloadList list(traffic_, main_, GetModuleHandleA(nullptr));
  AcceleratorEngine(list, clock, s, words).Run();
  ASSERT_EQ(commands_.size(), 4u);
  EXPECT_EQ(commands_[0].id, 61244);
  EXPECT_EQ(commands_[0].selectedTitle, "paused");
  EXPECT_EQ(commands_[1].id, 32986);
  EXPECT_EQ(commands_[2].id, 61244);
  EXPECT_EQ(commands_[2].selectedTitle, "paused2");
  EXPECT_EQ(commands_[3].id, 32986);
}

TEST_F(DownloadList, EngineFollowsAColumnDraggedBetweenTwoRows) {
  AddDownload("first", "Completed");
  // The second row is written in the new display order: status first.
  AddRow({"Paused", "second", "1 MB", "", "", "", "", "0", "second.mp3"});
  AcceleratorSettings s;
  s.CyclesDelay = 30;
  s.ItemDelay = 1;
  AcceleratorWords words;
  FastClock clock([&](int64_t now) {
    if (now == 5000) {  // after the first row (at 4 s), before the second
      int order[9] = {4, 0, 1, 2, 3, 5, 6, 7, 8};
      SendMessageA(header_, HDM_SETORDERARRAY, 9, reinterpret_cast<LPARAM>(order));
    }
    if (now > 8000) words.control = kAcceleratorStopRequested;
  });
  TreeDownloadList list(traffic_, main_, GetModuleHandleA(nullptr));
  AcceleratorEngine(list, clock, s, words).Run();
  ASSERT_EQ(commands_.size(), 2u);
  EXPECT_EQ(commands_[0].id, 61244);
}

TEST_F(DownloadList, RowsRemovedDuringACycleEndTheWalk) {
  AddDownload("a", "Paused");
  HTREEITEM b = AddDownload("b", "Paused");
  AddDownload("c", "Paused");
  AcceleratorSettings s;
  s.CyclesDelay = 30;
  s.ItemDelay = 2;
  AcceleratorWords words;
  FastClock clock([&](int64_t now) {
    if (now == 5000) {  // while waiting after row a: the host drops b and frees its text
      SendMessageA(list_, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(b));
      texts_[1]->assign(1000, 'z');
      records_[1].reset();
    }
    if (now > 9000) words.control = kAcceleratorStopRequested;
  });
  TreeDownloadList list(traffic_, main_, GetModuleHandleA(nullptr));
  AcceleratorEngine(list, clock, s, words).Run();
  // a is handled; the walk then ends at the removed b, so c waits for the next cycle
  ASSERT_EQ(commands_.size(), 2u);
  EXPECT_EQ(commands_[0].selectedTitle, "a");
  EXPECT_EQ(words.control.load(), kAcceleratorStopped);
}

}  // namespace
}  // namespace va
