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
