// Typed GetProcAddress for functions resolved at run time (optional system libraries, Wine's
// extensions).
#pragma once

#include <windows.h>

namespace framework {

template <class Fn>
Fn GetProcAs(HMODULE module, const char* name)
{
    if (!module) return nullptr;
    // FARPROC has no parameters; going through void* keeps -Wcast-function-type quiet.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace framework
