#pragma once

// The tests pump the engine's own main loop on the test thread.
#include "engine/mainloop.h"

using MainLoop = CMainLoop;
