// Replacing the content of a file so that a failure or a crash at any step leaves either the old or
// the new content whole: the new content is written into a file of its own beside the old one and
// flushed to disk before anything happens to the old file. The cookies files (whose old content is
// shredded afterwards) and the custom-items file are rewritten this way.
#pragma once

#include <windows.h>

#include <string>

// The folder part of a path ("." for a bare file name).
std::string FolderOfPath(const std::string& path);

// Writes `bytes` into a new file with a unique name in the folder of `path` and flushes it to disk.
// On success `newPath` names it; on failure nothing is left behind and `error` holds the system
// error code of the step that failed.
bool WriteNewFileBeside(const std::string& path, const std::string& bytes, std::string& newPath, DWORD& error);

// Renames the file at `path` to a unique name in its own folder (`asidePath`). Fails, leaving the
// file where it is, when another program holds it open without allowing that.
bool MoveFileAside(const std::string& path, std::string& asidePath, DWORD& error);

// Puts the file `newPath` in the place of `path`, replacing whatever is there in one step.
bool ReplaceWithNewFile(const std::string& path, const std::string& newPath, DWORD& error);
