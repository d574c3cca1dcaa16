// Whether a found object still lies where the scan found it. Between Scan and Clean a folder that a
// walk went down may be replaced by a junction or symbolic link; following it, the clean would
// delete same-named files somewhere the user never looked at.
#pragma once

#include <windows.h>

#include <string>

struct CRunContext;

// True when the object at path may be touched: it is no link itself (its attributes as just read;
// INVALID_FILE_ATTRIBUTES when they could not be read) and every folder between the walk's starting
// folder (its first walkRootLength bytes; -1: no walk found it) and the object is still an ordinary
// folder. Each folder's verdict is kept in the context for the rest of the run.
bool IsStillAsScanned(CRunContext* context, const std::string& path, DWORD attributes, int walkRootLength);
