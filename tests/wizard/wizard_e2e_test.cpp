// The real wizard program under Wine, driven from this test by window messages,
// one program start per story; every story ends by comparing the client's keys
// with exactly what the story should have written.
#include <windows.h>

#include <commctrl.h>

#include <cstring>
#include <set>

#include "common/registry_store.h"
#include "support/client_keys.h"
#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"
#include "wizard/resources/resource.h"

namespace va {
namespace {

using test::WaitUntil;
using Values = std::set<std::string>;
constexpr int kDeadlineMs = 10000;
const char kStartQuestion[] =
    "Do you wish to run the Vexlo Aero Configuration Wizard?\nYes:\tRun the wizard.\nNo:\tApply default settings. "
    "This won't overwrite any of your current settings.";
const std::string kQuitQuestion =
    "Configuration process is not complete. If you quit the selected options will be discarded.\nYou may run the "
    "wizard at any time later.\n\nWould you like to quit the configuration wizard?";
const std::string kInvalidLocation =
    "Please specify a valid location. You also must have read and write rights to the location.";

std::string TextOf(HWND window, int id = 0) { return test::WindowTextOf(id ? GetDlgItem(window, id) : window); }
std::string Beside(const std::string& program) {  // a program in this test's folder
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, strrchr(path, '\\') + 1) + program;
}
// The client the finish page may start: it records its command line, after the program, as a line of the mark file.
const std::string kClient = Beside("record_args.exe"), kClientMark = kClient + ".txt";

// One run of a wizard program beside the test, ended by its destructor if still running.
class WizardRun {
 public:
  explicit WizardRun(const std::string& program, const std::string& arguments = "") {
    std::string line = "\"" + Beside(program) + "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup, &process_);
    EXPECT_TRUE(AssignProcessToJobObject(job_, process_.hProcess)) << "programs the wizard starts cannot be followed";
    ResumeThread(process_.hThread);
  }
  ~WizardRun() {
    TerminateJobObject(job_, 1);
    for (HANDLE handle : {process_.hThread, process_.hProcess, job_}) CloseHandle(handle);
  }
  // True once the wizard and every program it started have ended (they are all in its job).
  bool AllEnded() {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job{};
    return WaitUntil([&] {
      return QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &job, sizeof job, nullptr) &&
             job.TotalProcesses > 0 && job.ActiveProcesses == 0;
    }, kDeadlineMs);
  }
  // Waits for a visible top-level window of the program: a message box, or the sheet (it has Next, 0x3024).
  HWND WaitFor(bool box) {
    HWND found = nullptr;
    WaitUntil([&] {
      for (HWND w = nullptr; !found && (w = FindWindowExA(nullptr, w, box ? "#32770" : nullptr, box ? "Wizard" : nullptr));) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == process_.dwProcessId && IsWindowVisible(w) && (box || GetDlgItem(w, 0x3024))) found = w;
      }
      return found != nullptr;
    }, kDeadlineMs);
    if (!box && found) sheet_ = found;
    return found;
  }
  // Waits for the wizard's message box, checks its text and answers it.
  void Answer(const std::string& text, int button) {
    HWND box = WaitFor(true);
    ASSERT_NE(box, nullptr) << "no message box: " << text;
    EXPECT_EQ(TextOf(box, 0xFFFF), text);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kDeadlineMs));
  }
  HWND Page() { return reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0)); }
  // The current page once it has control `id`, or nullptr after the deadline.
  HWND PageWith(int id) {
    HWND page = nullptr;
    return WaitUntil([&] { return (page = Page()) && GetDlgItem(page, id); }, kDeadlineMs) ? page : nullptr;
  }
  HWND Next(int id) { return Press(PSBTN_NEXT), PageWith(id); }  // Next, then the page with control `id`
  // Presses a sheet button. Posted when a message box may follow; otherwise sent,
  // so it returns once the sheet handled the press, with no message box open.
  void Press(int button, bool post = false) {
    DWORD_PTR result = 0;
    if (post) PostMessageA(sheet_, PSM_PRESSBUTTON, button, 0);
    else EXPECT_TRUE(SendMessageTimeoutA(sheet_, PSM_PRESSBUTTON, button, 0, SMTO_NORMAL, 5000, &result));
  }
  // Sets a control's text as typing does (the page sees the change) and returns what the page left there.
  std::string Type(int id, const std::string& text) {
    SendDlgItemMessageA(Page(), id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    return TextOf(Page(), id);
  }
  void Choose(int profile) {
    SendDlgItemMessageA(Page(), IDC_CONNECTION_LIST, CB_SETCURSEL, profile, 0);
    SendMessageA(Page(), WM_COMMAND, MAKEWPARAM(IDC_CONNECTION_LIST, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(Page(), IDC_CONNECTION_LIST)));
  }
  // The exit code once the program ended; 99 when it still runs at the deadline.
  DWORD ExitCode() {
    DWORD code = 99;
    WaitForSingleObject(process_.hProcess, kDeadlineMs);
    return GetExitCodeProcess(process_.hProcess, &code) && code != STILL_ACTIVE ? code : 99;
  }
  // From the welcome page to the finish page with these choices (empty names keep
  // what the page filled in); the folder must exist.
  void WalkToFinish(const std::string& user, const std::string& network, const std::string& folder, int profile) {
    ASSERT_NE(WaitFor(false), nullptr);
    for (int control : {IDC_USER_NAME, IDC_FOLDER_PATH, IDC_CONNECTION_LIST, IDC_RUN_CLIENT}) {
      ASSERT_TRUE(Next(control)) << control;
      if (control == IDC_USER_NAME && !user.empty()) Type(IDC_NETWORK_NAME, network), Type(IDC_USER_NAME, user);
      if (control == IDC_FOLDER_PATH) Type(IDC_FOLDER_PATH, folder);
      if (control == IDC_CONNECTION_LIST && profile) Choose(profile);  // else the first stays chosen
    }
  }

 private:
  PROCESS_INFORMATION process_{};
  HANDLE job_ = CreateJobObjectA(nullptr, nullptr);
  HWND sheet_ = nullptr;
};

// Every value under the keys a wizard may touch, as "U|M <key>\<name>=<value>".
void Collect(HKEY root, const std::string& key, Values& out) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  char name[512], data[4096];
  DWORD type = 0, nameLength = sizeof name, size = sizeof data;
  for (DWORD i = 0; !RegEnumValueA(handle, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
       ++i, nameLength = sizeof name, size = sizeof data) {
    const std::string raw(data, size), sz = raw.find('\0') + 1 == size ? "\"" + std::string(data) + "\"" : "";
    out.insert(std::string(root == HKEY_CURRENT_USER ? "U " : "M ") + key.substr(9) + "\\" + name + "=" +
               (type == REG_DWORD && size == 4 ? std::to_string(*reinterpret_cast<DWORD*>(data))
                : type == REG_SZ && !sz.empty() ? sz : "type" + std::to_string(type) + ":" + raw));
  }
  for (DWORD i = 0; !RegEnumKeyA(handle, i, name, sizeof name); ++i) Collect(root, key + "\\" + name, out);
  RegCloseKey(handle);
}

Values given;  // HKLM's Vexlo key as the story set it up
Values Snapshot() {  // with what differs from the set-up under HKLM's Vexlo key: new values, and "gone" ones
  Values values, machine;
  for (const char* key : {"SOFTWARE\\Vexlo", "SOFTWARE\\V++", "SOFTWARE\\VAExtensions", "SOFTWARE\\VATests"}) {
    Collect(HKEY_CURRENT_USER, key, values);
    Collect(HKEY_LOCAL_MACHINE, key, std::strcmp(key, "SOFTWARE\\Vexlo") ? values : machine);
  }
  for (const std::string& value : machine) if (!given.count(value)) values.insert(value);
  for (const std::string& value : given) if (!machine.count(value)) values.insert("gone " + value);
  return values;
}

std::string DefaultFolder() {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  return std::string(windows, strchr(windows, '\\')) + "\\My Shared Folder";
}

constexpr int kModem = 1, kAdsl1024 = 8;  // profiles of the default trailer
const std::string kRan = "U VATests\\SilentSetup\\Ran=\"quiet\"";
const Values kScript = {"U VATests\\Script\\Text=\"hello\"", "U VATests\\Script\\Number=7",
                        "M VATests\\Script\\Machine=type3:\x01\x02\x03\x04"};
const Values kClientPaths = {"U Vexlo\\Skins\\SkinsDir=\"C:\\Program Files\\Vexlo\\Skins\"",
                             "U V++\\ApplicationName=\"C:\\Program Files\\Vexlo\\Vexlo.vpp\"",
                             "U V++\\VexloStartPage=\"file://C:\\Program Files\\Vexlo\\web\\start.htm\""};
const std::string kInstallSig7 = "U Vexlo\\v-aero\\InstallSig=7";
Values operator+(Values a, const Values& b) { return a.insert(b.begin(), b.end()), a; }
// What every finish writes besides the profile's values.
Values Finished(const std::string& user, const std::string& folder) {
  return {kInstallSig7, "U Vexlo\\UserDetails\\UserName=\"" + user + "\"", "U Vexlo\\LocalContent\\DisableSharing=0",
          "U Vexlo\\LocalContent\\DownloadDir=\"" + folder + "\""};
}

class WizardStory : public testing::Test {
 protected:
  void SetUp() override { Reset(), DeleteFileA(kClientMark.c_str()); }
  void TearDown() override { Reset(), DeleteFileA(kClientMark.c_str()); }
  static void Reset() {
    test::ClientKeys::Clear();
    given.clear();
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) test::DeleteTree(root, "SOFTWARE\\VATests");
  }
  // The signatures, and optionally the silent setup command (it records its
  // argument), the client's install folder and the shared-root switch.
  static void Given(uint32_t user, uint32_t machine, bool silent = true, int rootSwitch = -1) {
    if (user) WriteRegDword(HKEY_CURRENT_USER, "Software\\Vexlo\\v-aero", "InstallSig", user);
    WriteRegDword(HKEY_LOCAL_MACHINE, "Software\\Vexlo\\v-aero", "InstallSig", machine);
    WriteRegText(HKEY_LOCAL_MACHINE, "Software\\Vexlo\\v-aero", "InstallDir", "C:\\Program Files\\Vexlo\\");
    if (silent) WriteRegText(HKEY_LOCAL_MACHINE, "Software\\Vexlo\\v-aero", "SilentSetup",
                             "reg.exe add HKCU\\SOFTWARE\\VATests\\SilentSetup /v Ran /d quiet /f");
    if (rootSwitch >= 0) WriteRegDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "UseHKEY_CURRENT_USER", rootSwitch);
    WriteRegText(HKEY_LOCAL_MACHINE, "Software\\Vexlo\\Fernpull", "ExeDir", kClient.c_str());
    Collect(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vexlo", given);
  }
};

// A user who was configured for an older client starts the wizard by hand while
// the client runs: the wizard waits until "Close" ended the client, checks every
// page's input, and on Finish writes the modem's values, shared ones under HKLM.
TEST_F(WizardStory, WalkThroughEveryPageAndFinishWithTheModem) {
  test::HostSim host(false);
  ASSERT_TRUE(host.Start(""));
  Given(5, 7, false);
  test::TempFolder temp;
  const std::string missing = temp.Join("one\\two\\three");
  WizardRun wizard("VAConfigWizard.exe");
  ASSERT_NE(wizard.WaitFor(false), nullptr) << "no arguments: the wizard runs whatever the signatures";
  HWND running = wizard.Next(IDC_CLOSE_CLIENT);
  wizard.Press(PSBTN_NEXT);  // the client still runs: the page stays
  EXPECT_EQ(wizard.Page(), running);
  PostMessageA(running, WM_COMMAND, MAKEWPARAM(IDC_CLOSE_CLIENT, BN_CLICKED), 0);
  ASSERT_TRUE(host.WaitForExit(kDeadlineMs, nullptr));
  ASSERT_TRUE(wizard.Next(IDC_WELCOME_LIST));
  HWND user = wizard.Next(IDC_USER_NAME);
  EXPECT_EQ(TextOf(user, IDC_USER_NAME) + "|" + TextOf(user, IDC_NETWORK_NAME), "vexlo.example|VeXlO");
  for (auto [control, typed, kept] : {std::tuple{IDC_USER_NAME, "@@@", ""}, {IDC_USER_NAME, "jane doe", "jane_doe"},
                                      {IDC_NETWORK_NAME, "", ""}, {IDC_NETWORK_NAME, "Ve@X\tlO", "VeXlO"}}) {
    EXPECT_EQ(wizard.Type(control, typed), kept);
    if (!*kept) wizard.Press(PSBTN_NEXT);  // an empty name stays on the page
    EXPECT_EQ(wizard.Page(), user) << control << typed;
  }
  HWND folder = wizard.Next(IDC_FOLDER_PATH);
  EXPECT_EQ(TextOf(folder, IDC_FOLDER_PATH), DefaultFolder());
  const std::string create = "The directory:\n\n%\n\ndoes not exist! Would you like to create it?";
  // A wildcard would match the Windows folder if it were searched for.
  const std::string paths[] = {"C:", "relative\\folder", "C:\\Win*", "\\\\nohost\\noshare\\folder", missing, missing};
  for (int i = 0; i < 6; ++i) {
    wizard.Type(IDC_FOLDER_PATH, paths[i]);
    EXPECT_FALSE(i == 5 && test::FolderExists(temp.Join("one"))) << "No creates nothing";
    wizard.Press(PSBTN_NEXT, true);
    if (i < 3) wizard.Answer(kInvalidLocation, IDOK);
    else wizard.Answer(std::string(create).replace(create.find('%'), 1, paths[i]), i == 5 ? IDYES : IDNO);
  }
  HWND connection = wizard.PageWith(IDC_CONNECTION_LIST);
  EXPECT_TRUE(test::FolderExists(missing));
  wizard.Choose(kModem);
  EXPECT_EQ(TextOf(connection, IDC_CONNECTION_SUMMARY),
            "Maximum uploads:\t\t\t2\nMaximum upload speed:\t\t\t3.00 KB/s\nMaximum downloads:\t\t\t2\n"
            "Maximum sources per download:\t\t4");
  HWND finish = wizard.Next(IDC_RUN_CLIENT);
  EXPECT_EQ(TextOf(finish, IDC_FINISH_USER) + "|" + TextOf(finish, IDC_FINISH_CONNECTION), "jane_doe@VeXlO|56K Modem");
  EXPECT_EQ(IsDlgButtonChecked(finish, IDC_RUN_CLIENT), UINT(BST_CHECKED));
  wizard.Press(PSBTN_FINISH, true);
  EXPECT_EQ(wizard.ExitCode(), 0u);
  ASSERT_TRUE(wizard.AllEnded());
  EXPECT_EQ(test::ReadWholeFile(kClientMark), "\r\n") << "the client was not started once, without parameters";
  EXPECT_EQ(Snapshot(), (kClientPaths + Finished("jane_doe", missing) + Values{
      "U Vexlo\\Transfer\\UploadBandwidth=24", "U Vexlo\\Transfer\\ConcurrentDownloads=2",
      "U Vexlo\\Transfer\\ConcurrentUploads=2", "U Vexlo\\Advanced\\SuperNode=1", "M V++\\NetworkName=\"VeXlO\"",
      "M V++\\MaxFileSources=4", "M V++\\FindMoreSourcesTimeLimit=60"}));
}

// Finishing with other profiles from a quick walk, with stored names: an
// up-to-date user (no question) with the switch at 1 takes ADSL from a wizard
// carrying a registry script (no SuperNode: unset for ADSL; shared values under
// HKCU); a new user with the switch at 2 keeps "N/A", which also sets the
// accelerator, and keeps the stored names the page filled in, cut to the boxes'
// 32 and 16 characters.
TEST_F(WizardStory, FinishWithOtherProfilesAndRoots) {
  test::TempFolder temp;
  const std::string user = "abcdefghijklmnopqrstuvwxyz0123456789ABCD", network = "NetworkNameOf20Chars";
  const std::string lastName = "M V++\\LastName=\"" + network + "\"";
  Values accelerator;
  for (std::string value : {"CyclesDelay=600", "ItemDelay=40", "SkipPaused=1", "SkipQueued=1", "SkipBySpeed=1",
                            "MinSpeed=500", "KeepDownloads=0", "NumDownloadsMin=3", "NumDownloadsMax=5"})
    accelerator.insert("U VAExtensions\\Accelerator\\" + value);
  struct Row { const char* program; uint32_t userSig; bool silent; int rootSwitch; std::string user, network;
               int profile; bool runClient; Values expected; } rows[] = {
      {"wizard_with_script.exe", 7, true, 1, "joe", "net", kAdsl1024, false,
       kScript + Finished("joe", temp.path()) + Values{kRan, lastName, "U Vexlo\\Transfer\\UploadBandwidth=368",
       "U Vexlo\\Transfer\\ConcurrentDownloads=8", "U Vexlo\\Transfer\\ConcurrentUploads=6", "U V++\\NetworkName=\"net\"",
       "U V++\\MaxFileSources=16", "U V++\\FindMoreSourcesTimeLimit=60", "M V++\\UseHKEY_CURRENT_USER=1"}},
      {"VAConfigWizard.exe", 0, false, 2, "", "", 0, true,
       accelerator + Finished(user.substr(0, 32), temp.path()) + Values{lastName, "U Vexlo\\Transfer\\UploadBandwidth=0",
       "U Vexlo\\Transfer\\ConcurrentDownloads=4", "U Vexlo\\Transfer\\ConcurrentUploads=4", "U Vexlo\\Advanced\\SuperNode=1",
       "M V++\\NetworkName=\"" + network.substr(0, 16) + "\"", "M V++\\MaxFileSources=12",
       "M V++\\FindMoreSourcesTimeLimit=60", "M V++\\UseHKEY_CURRENT_USER=2"}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.program);
    Reset();
    Given(row.userSig, 7, row.silent, row.rootSwitch);
    WriteRegText(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\UserDetails", "UserName", user.c_str());
    WriteRegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "LastName", network.c_str());
    WizardRun wizard(row.program, "-VARUN");
    wizard.WalkToFinish(row.user, row.network, temp.path(), row.profile);
    if (!row.runClient) SendDlgItemMessageA(wizard.Page(), IDC_RUN_CLIENT, BM_SETCHECK, BST_UNCHECKED, 0);
    wizard.Press(PSBTN_FINISH, true);
    EXPECT_EQ(wizard.ExitCode(), 0u);
    ASSERT_TRUE(wizard.AllEnded());
    EXPECT_EQ(test::ReadWholeFile(kClientMark), row.runClient ? "\r\n" : "") << "the client runs only when asked";
    DeleteFileA(kClientMark.c_str());
    EXPECT_EQ(Snapshot(), kClientPaths + row.expected);
  }
}

// How the program starts and ends without finishing. "-VARUN" (any case, blanks
// around it) asks a user behind the machine: Cancel only marks the user; No runs
// the silent setup command, the registry script (a value before any key record
// goes nowhere) and the mark; Yes runs the wizard, and quitting it (after a No
// that keeps the page) only marks. Without the switch a new user who quits gets
// the defaults: silent setup, client paths, the default shared folder (created)
// and the mark, but no user or transfer value; a user ahead of the machine gets
// nothing. A wizard without its trailer is refused before anything runs.
TEST_F(WizardStory, StartAndQuitWithoutFinishing) {
  struct Row { const char *program, *arguments; uint32_t user; const char* message; int answer; Values expected; } rows[] = {
      {"VAConfigWizard.exe", "  -varun ", 5, kStartQuestion, IDCANCEL, {kInstallSig7}},
      {"wizard_with_script.exe", "-VARUN", 5, kStartQuestion, IDNO, kScript + Values{kRan, kInstallSig7}},
      {"VAConfigWizard.exe", "-VARUN", 5, kStartQuestion, IDYES, {kInstallSig7}},
      {"VAConfigWizard.exe", "", 0, nullptr, 0, kClientPaths + Values{kRan, kInstallSig7,
          "U Vexlo\\LocalContent\\DownloadDir=\"" + DefaultFolder() + "\""}},
      {"VAConfigWizard.exe", "", 9, nullptr, 0, {"U Vexlo\\v-aero\\InstallSig=9"}},
      {"wizard_no_trailer.exe", "-VARUN", 5, "Can't find meta data!", IDOK, {"U Vexlo\\v-aero\\InstallSig=5"}}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.program) + " [" + row.arguments + "] user " + std::to_string(row.user));
    Reset();
    Given(row.user, 7);
    WizardRun wizard(row.program, row.arguments);
    if (row.message) wizard.Answer(row.message, row.answer);
    if (!row.message || row.answer == IDYES) {
      ASSERT_NE(wizard.WaitFor(false), nullptr);
      for (int answer : {IDNO, IDYES}) {  // No keeps the page
        EXPECT_TRUE(wizard.PageWith(IDC_WELCOME_LIST)) << answer;
        wizard.Press(PSBTN_CANCEL, true);
        wizard.Answer(kQuitQuestion, answer);
      }
    }
    EXPECT_EQ(wizard.ExitCode(), 0u);
    EXPECT_EQ(Snapshot(), row.expected);
    EXPECT_TRUE(row.user || RemoveDirectoryA(DefaultFolder().c_str())) << "no default folder";
  }
}

}  // namespace
}  // namespace va
