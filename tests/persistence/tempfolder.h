#pragma once

// The temporary-folder fixture lives with the INI file tests, the lowest layer that needs it.
#include "core/tempfolder.h"
