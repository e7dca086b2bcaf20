// shutdown: what the module does when the library is unloaded: restore the host
// procedures it replaced, release the add-ons, store the remembered state, apply
// the search-history purge rule, record the host's database folder, end the
// process.
#pragma once
#include <windows.h>

namespace va {

// Runs the shutdown steps once per process, then ends the process with exit
// code 0. A second call (a re-entered unload notification) returns at once.
void ShutdownModule();
// Stores what the user would lose with the process: the remembered state, the
// search-history purge rule, the host's database folder. Runs once per process,
// at whichever comes first: the end of the Windows session (WM_ENDSESSION, after
// which the system ends the host without unloading the module), the end of the
// host's main window, or the module's unload.
void StoreStateForExit();
// Deletes every value under HKEY_CURRENT_USER\SOFTWARE\Vexlo\Search (the key
// stays); stops at the first value that cannot be enumerated or deleted.
void PurgeSearchHistory();
// Writes DatabaseDir under HKEY_LOCAL_MACHINE\SOFTWARE\Vexlo\LocalContent when
// the host's own key HKEY_CURRENT_USER\SOFTWARE\Vexlo\v-aero exists.
void RecordDatabaseFolder();

// How the process is ended; tests of the shutdown steps put a recorder here.
using ProcessEnder = void (*)(UINT exitCode);
void SetProcessEnder(ProcessEnder ender);

}  // namespace va
