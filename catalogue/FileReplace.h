// Replacing the content of a file so that its name always holds either the old or the new content
// whole: the new content is written into a transient file beside the old one and flushed to disk,
// then moved over the name in one step. The cookies files (whose old content stays reachable through
// a transient second name until it is shredded) and the custom-items file are rewritten this way.
//
// Every transient file is recorded in the settings before it exists and forgotten once it is gone,
// so whatever a rewrite cut short leaves behind is found again at the next start.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Overwrites a file's content before it is deleted.
using ShredFunction = std::function<void(const std::string& path)>;

// True for the file names (the part after the last backslash) that transient files are given.
bool IsTransientFileName(const std::string& path);

// Writes `bytes` into a new transient file in the folder of `path` and flushes it to disk. On success
// `newPath` names it; on failure nothing is left behind and `error` holds the system error code of
// the step that failed.
bool WriteNewFileBeside(const std::string& path, const std::string& bytes, std::string& newPath, DWORD& error);

// Gives the file at `path` a second, transient name in its folder (a hard link), through which its
// content stays reachable once the name `path` leads to new content. Fails, leaving nothing behind,
// when the file or its volume does not allow that.
bool LinkOldContent(const std::string& path, std::string& oldPath, DWORD& error);

// Puts the transient file `newPath` in the place of `path`, replacing whatever is there in one step.
bool ReplaceWithNewFile(const std::string& path, const std::string& newPath, DWORD& error);

// Deletes a transient file and forgets it once it is gone. `shred` overwrites it first, but only
// when no other name leads to its content.
void DiscardTransientFile(const std::string& path, const ShredFunction& shred = nullptr);

// At start: discards every recorded transient file that is still there, shredding it through
// `shred`. A record whose name is not one of a transient file deletes nothing.
void SweepTransientFiles(const ShredFunction& shred);
