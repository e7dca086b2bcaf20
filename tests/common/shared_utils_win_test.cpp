// Folder creation, file sizes and the clipboard against the real platform.
#include "common/shared_utils.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/clipboard_view.h"
#include "support/temp_folder.h"

namespace va {
namespace {

using test::ClipboardText;

using test::FolderExists;
using test::TempFolder;

TEST(CreateFolderPath, CreatesEveryMissingFolderOnThePath) {
  TempFolder temp;
  std::string deep = temp.Join("a\\b\\c");
  EXPECT_TRUE(CreateFolderPath(deep));
  EXPECT_TRUE(FolderExists(temp.Join("a")));
  EXPECT_TRUE(FolderExists(deep));
}

TEST(CreateFolderPath, AcceptsForwardSlashes) {
  TempFolder temp;
  EXPECT_TRUE(CreateFolderPath(temp.path() + "/x/y"));
  EXPECT_TRUE(FolderExists(temp.Join("x\\y")));
}

TEST(CreateFolderPath, ExistingFolderReportsFailure) {
  TempFolder temp;
  ASSERT_TRUE(CreateFolderPath(temp.Join("here")));
  EXPECT_FALSE(CreateFolderPath(temp.Join("here")));
  EXPECT_TRUE(FolderExists(temp.Join("here")));
}

TEST(CreateFolderPath, TrailingSeparatorReportsWhetherTheFolderWasCreated) {
  TempFolder temp;
  EXPECT_TRUE(CreateFolderPath(temp.Join("new\\")));
  EXPECT_TRUE(FolderExists(temp.Join("new")));
  EXPECT_FALSE(CreateFolderPath(temp.Join("new\\")));
}

TEST(CreateFolderPath, FailsUnderAFile) {
  TempFolder temp;
  test::WriteFileBytes(temp.Join("file"), "x");
  EXPECT_FALSE(CreateFolderPath(temp.Join("file\\sub")));
}

TEST(QueryFileSize, MissingFileIsMinusOne) {
  TempFolder temp;
  EXPECT_EQ(QueryFileSize(temp.Join("none.bin")), -1);
}

TEST(QueryFileSize, EmptyAndSmallFiles) {
  TempFolder temp;
  test::WriteFileBytes(temp.Join("empty"), "");
  test::WriteFileBytes(temp.Join("five"), "12345");
  EXPECT_EQ(QueryFileSize(temp.Join("empty")), 0);
  EXPECT_EQ(QueryFileSize(temp.Join("five")), 5);
}

TEST(QueryFileSize, FileBeyondFourGigabytesKeepsTheHighPart) {
  TempFolder temp;
  std::string path = temp.Join("sparse");
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = (5LL << 30) + 3;  // 5 GiB + 3, made sparse by setting the end
  SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
  bool extended = SetEndOfFile(file) != 0;
  CloseHandle(file);
  if (!extended) GTEST_SKIP() << "the file system refused a 5 GiB file";
  EXPECT_EQ(QueryFileSize(path), (5LL << 30) + 3);
}

TEST(SetClipboardText, TextIsReadBackByAnotherCall) {
  SetClipboardText("link one");
  EXPECT_EQ(ClipboardText(), "link one");
  SetClipboardText("second\r\nline");
  EXPECT_EQ(ClipboardText(), "second\r\nline");
}

// Holds the clipboard open from another thread until released.
class ClipboardHolder {
 public:
  ClipboardHolder() {
    opened_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &ClipboardHolder::Hold, this, 0, nullptr);
    WaitForSingleObject(opened_, 5000);
  }
  ~ClipboardHolder() {
    SetEvent(release_);
    WaitForSingleObject(thread_, 5000);
    CloseHandle(thread_);
    CloseHandle(opened_);
    CloseHandle(release_);
  }
  bool holding() const { return holding_; }

 private:
  static DWORD WINAPI Hold(void* self) {
    auto* holder = static_cast<ClipboardHolder*>(self);
    // The holder opens the clipboard for a window of its own, as another program would.
    HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    holder->holding_ = OpenClipboard(window) != 0;
    SetEvent(holder->opened_);
    WaitForSingleObject(holder->release_, 10000);
    if (holder->holding_) CloseClipboard();
    DestroyWindow(window);
    return 0;
  }
  HANDLE opened_, release_, thread_;
  volatile bool holding_ = false;
};

TEST(SetClipboardText, BusyClipboardIsLeftAlone) {
  SetClipboardText("before");
  {
    ClipboardHolder holder;
    ASSERT_TRUE(holder.holding());
    SetClipboardText("while busy");
  }
  EXPECT_EQ(ClipboardText(), "before");
}

}  // namespace
}  // namespace va
