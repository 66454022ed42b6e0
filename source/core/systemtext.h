#pragma once

#include <string>

// The system's own words for a Windows error code (GetLastError), without the trailing
// full stop and line break, so they can follow a colon in a message; "Error N" when the system
// has none. Windows only.
std::string Win32ErrorText(unsigned long error);
