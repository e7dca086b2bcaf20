// The file organizer end to end: hostsim.exe loads the real ch_plug.dll, which
// attaches, loads the stored filters and starts the watcher on a real shared
// folder. The test drops files and checks the folders from outside the host.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::HostSim;
using test::kFiltersKey;
using test::PutRawValue;

const char kLocalContent[] = "SOFTWARE\\Vexlo\\LocalContent";
constexpr int kHandledWithinMs = 3000;

void PutText(const std::string& name, const std::string& text) {
  PutRawValue(HKEY_CURRENT_USER, kFiltersKey, name.c_str(), REG_SZ, test::Sz(text));
}
void PutAction(const std::string& name, DWORD action) {
  test::PutDword(HKEY_CURRENT_USER, kFiltersKey, name.c_str(), action);
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

// The stand-in command, as a Windows path.
std::string BuiltRecorder() {
  std::string path = VA_RECORD_ARGS_EXE;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Every file below `folder` (relative path -> contents).
void Collect(const std::string& folder, const std::string& prefix, std::map<std::string, std::string>& out) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = found.cFileName;
    if (name == "." || name == "..") continue;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      Collect(folder + "\\" + name, prefix + name + "\\", out);
    } else {
      out[prefix + name] = test::ReadWholeFile(folder + "\\" + name);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

class Organizer : public testing::Test {
 protected:
  void SetUp() override {
    Clean();
    shared_ = host_.Join("My Shared Folder");
    CreateDirectoryA(shared_.c_str(), nullptr);
    PutRawValue(HKEY_CURRENT_USER, kLocalContent, "DownloadDir", REG_SZ, shared_ + std::string(1, '\0'));
  }
  void TearDown() override {
    if (host_.Running()) {
      host_.Send("exit");
      DWORD code = 0;
      host_.WaitForExit(10000, &code);
    }
    Clean();
  }
  static void Clean() {
    test::ClearExtensionSettings();
    test::DeleteTree(HKEY_CURRENT_USER, kLocalContent);
  }
  std::string Shared(const std::string& name) const { return shared_ + "\\" + name; }

  HostSim host_;
  std::string shared_;
};

TEST_F(Organizer, WatcherStartedAtAttachHandlesEveryFileByTheFirstMatchingFilter) {
  std::string copies = host_.Join("Copies");
  std::string all = host_.Join("All");
  std::string tools = host_.Join("My Tools");
  CreateDirectoryA(tools.c_str(), nullptr);
  std::string recorder = host_.CopyIn(BuiltRecorder(), "My Tools\\record args.exe");
  ASSERT_TRUE(Exists(recorder)) << recorder;

  // Stored as the options dialog would store them, numbered out of order; the
  // Move destination holds ".." steps that must not lead out of the shared folder.
  PutText("Title7", "Music");
  PutText("Filter7", "*.mp3");
  PutText("Dest7", "Music\\..\\..\\Escape");
  PutAction("Action7", 2);
  PutText("Title8", "Texts");
  PutText("Filter8", " *.txt; *.doc ");
  PutText("Dest8", copies);
  PutText("Cmd8", "\"%VAPATH%\\My Tools\\record args.exe\" \"%F\" %P %FN");
  PutAction("Action8", 1);
  PutText("Title9", "Everything else");
  PutText("Filter9", "*");
  PutText("Dest9", all);
  PutAction("Action9", 1);

  WriteBytes(Shared("early.mp3"), "early song");
  WriteBytes(Shared("x.DAT"), "host data");
  WriteBytes(Shared("y.dat"), "host data");
  WriteBytes(Shared("Notes.TXT"), "notes");
  std::string music = Shared("Music\\Escape");

  ASSERT_TRUE(host_.Start(""));
  // Files present at start are handled at once.
  EXPECT_TRUE(test::WaitUntil([&] { return Exists(music + "\\early.mp3"); }, kHandledWithinMs));
  EXPECT_TRUE(test::WaitUntil([&] { return Exists(copies + "\\Notes.TXT"); }, kHandledWithinMs));
  std::string log = recorder + ".txt";
  EXPECT_TRUE(test::WaitUntil([&] { return test::ReadWholeFile(log).find("\r\n") != std::string::npos; }, 5000));
  EXPECT_EQ(test::ReadWholeFile(log), "\"" + copies + "\\Notes.TXT\" " + copies + "\\ Notes.TXT\r\n");

  // Dropped while the host runs: within a second or two.
  WriteBytes(Shared("late.mp3"), "late song");
  EXPECT_TRUE(test::WaitUntil([&] { return Exists(music + "\\late.mp3"); }, kHandledWithinMs));
  WriteBytes(Shared("early.mp3"), "second early song");
  EXPECT_TRUE(test::WaitUntil([&] { return Exists(music + "\\early[1].mp3"); }, kHandledWithinMs));
  WriteBytes(Shared("readme"), "plain");
  EXPECT_TRUE(test::WaitUntil([&] { return Exists(all + "\\readme"); }, kHandledWithinMs));

  // Nothing lost, nothing overwritten, nothing taken that was not asked for.
  std::map<std::string, std::string> files;
  Collect(host_.folder(), "", files);
  EXPECT_EQ(files["My Shared Folder\\Music\\Escape\\early.mp3"], "early song");
  EXPECT_EQ(files["My Shared Folder\\Music\\Escape\\early[1].mp3"], "second early song");
  EXPECT_EQ(files["My Shared Folder\\Music\\Escape\\late.mp3"], "late song");
  EXPECT_EQ(files["My Shared Folder\\Notes.TXT"], "notes");  // copied, still there
  EXPECT_EQ(files["Copies\\Notes.TXT"], "notes");
  EXPECT_EQ(files["My Shared Folder\\readme"], "plain");
  EXPECT_EQ(files["All\\readme"], "plain");
  EXPECT_EQ(files["My Shared Folder\\x.DAT"], "host data");
  EXPECT_EQ(files["My Shared Folder\\y.dat"], "host data");
  EXPECT_EQ(files.count("All\\x.DAT") + files.count("All\\y.dat") + files.count("All\\Notes.TXT") +
                files.count("All\\early.mp3") + files.count("My Shared Folder\\early.mp3"),
            0u);
  EXPECT_FALSE(Exists(host_.Join("Escape"))) << "a Move destination left the shared folder";
  EXPECT_FALSE(Exists(host_.Join("My Shared Folder\\Escape")));

  // The watcher that matched all this does not keep the library loaded: the
  // host's release of it still ends the process through the module's shutdown
  // (the host's own path would return 3).
  EXPECT_TRUE(test::HostExitsWithZero(host_));
  EXPECT_EQ(host_.CountLog("host-cleanup"), 0) << "the host's own code ran after the module was released";
}

}  // namespace
}  // namespace va
