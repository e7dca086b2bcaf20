// Resource ids of the extension module.
#pragma once

// Icons
#define IDI_EXTENSION 1
