// settings_steps_win: the wizard's six registry write steps, run by the finish,
// quit and silent paths. Each uses the program-wide state and reports nothing.
#pragma once

namespace va {

void RunSilentSetupCommand();
void ApplyRegistryScript();
void WriteClientPaths();
void WriteWizardSettings();
void CreateDefaultSharedFolder();
void MarkUserConfigured();

}  // namespace va
