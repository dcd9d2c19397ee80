#pragma once
// Libraries of the system loaded from the system folder only, never from the
// program's own folder (where a planted file of the same name could be found
// first, such as a Downloads folder).
#include <windows.h>

namespace velquin {

// At start: restricts the search of later loads to the system folder where the
// system supports it (SetDefaultDllDirectories).
void RestrictDllSearchToSystem();

// Loads `name` (a bare file name such as "shell32.dll") from the system folder:
// LoadLibraryExW with LOAD_LIBRARY_SEARCH_SYSTEM32 where the system knows the flag,
// otherwise by its full path in the system folder. nullptr when it cannot.
HMODULE LoadSystemLibrary(const char* name);

}  // namespace velquin
