// module_state: definitions of the process-wide values.
#include "extension/core/module_state.h"

namespace va {
HINSTANCE ModuleInstance = nullptr;
}  // namespace va
