// hostsim_main_win: entry of the stand-in host client. Reads the scenario, builds
// the host's windows, loads ch_plug.dll from its own folder and runs the loop.
//   hostsim.exe [--scenario <file>] [--log <file>]
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "hostsim/hostsim_state.h"

namespace va::hostsim {
namespace {

// What a person sees when starting the host without a scenario.
const char kDemoScenario[] =
    "download = Morning Walk.mp3 | Downloading | 12.5 KB/s | Morning Walk.mp3\n"
    "download = Harbour Lights.ogg | Paused | | Harbour Lights.ogg\n"
    "download = Field Recording.wav | More sources needed | | Field Recording.wav\n"
    "download = City at Night.avi | Completed | | City at Night.avi\n"
    "library = Morning Walk.mp3 | C:\\My Shared Folder\n"
    "library = notes.txt | C:\\My Shared Folder\n";

std::string ReadWholeFile(const std::string& path, bool* ok) {
  std::string text;
  *ok = false;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return text;
  char buffer[4096];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() < (1u << 20)) text.append(buffer, got);
  std::fclose(file);
  *ok = true;
  return text;
}

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text = path;
  return text.substr(0, text.find_last_of('\\') + 1);
}

void PlanWindow(const WindowPlan& plan, UINT_PTR timer, void (*create)()) {
  if (plan.appear == Appear::AtStart) create();
  else if (plan.appear == Appear::Later) SetTimer(g.main, timer, static_cast<UINT>(plan.delayMs), nullptr);
}

}  // namespace

HostState g;

int Run(HINSTANCE instance) {
  g.instance = instance;
  g.folder = OwnFolder();
  std::string scenarioPath, logPath = g.folder + "hostsim.log";
  for (int i = 1; i + 1 < __argc; i += 2) {
    std::string option = __argv[i];
    if (option == "--scenario") scenarioPath = __argv[i + 1];
    else if (option == "--log") logPath = __argv[i + 1];
  }
  OpenLog(logPath);
  Log("start pid=%lu", static_cast<unsigned long>(GetCurrentProcessId()));

  std::string text = kDemoScenario;
  if (!scenarioPath.empty()) {
    bool ok = false;
    text = ReadWholeFile(scenarioPath, &ok);
    if (!ok) Log("scenario-missing %s", scenarioPath.c_str());
  }
  g.scenario = ParseScenario(text);
  for (const std::string& error : g.scenario.errors) Log("scenario-error %s", error.c_str());

  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES | ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  if (!RegisterHostClasses() || !CreateMainFrame() || !CreateControlWindow()) {
    Log("failed to create the main window");
    return 1;
  }
  PlanWindow(g.scenario.search, kTimerSearchWindow, CreateSearchWindow);
  PlanWindow(g.scenario.traffic, kTimerTrafficWindow, CreateTrafficWindow);
  PlanWindow(g.scenario.library_window, kTimerLibraryWindow, CreateLibraryWindow);
  LayoutMainFrame();
  ShowWindow(g.main, SW_SHOW);
  UpdateWindow(g.main);
  Log("ready main=0x%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(g.main)));

  if (g.scenario.loadModule) LoadExtensionModule();
  if (g.scenario.exitAfterMs > 0) SetTimer(g.main, kTimerExit, static_cast<UINT>(g.scenario.exitAfterMs), nullptr);
  PostMessageA(g.main, kMsgCallServiceShow, 0, 0);

  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    if (g.mdiClient && TranslateMDISysAccel(g.mdiClient, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  Log("exit");
  if (g.exports.module && g.scenario.unload == Unload::FreeFirst) {
    Log("unload");
    FreeLibrary(g.exports.module);
  }
  // The host's own clean-up: never reached when the module ended the process.
  Log("host-cleanup");
  return kHostOwnExitCode;
}

}  // namespace va::hostsim

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return va::hostsim::Run(instance); }
