// What the extension's COM objects share: the DLL's counts of live objects and server locks, which
// decide whether Explorer may unload the DLL. Explorer calls the objects from several threads, so
// every change of a count is an interlocked one.
#pragma once

#include <windows.h>

namespace shellext {

// A class factory or extension object came into being / was destroyed.
void ObjectCreated();
void ObjectDestroyed();

// Reference counting of one object: interlocked, like the DLL's counts.
inline ULONG AddRefOf(LONG& count) { return static_cast<ULONG>(InterlockedIncrement(&count)); }
inline ULONG ReleaseOf(LONG& count) { return static_cast<ULONG>(InterlockedDecrement(&count)); }

}  // namespace shellext
