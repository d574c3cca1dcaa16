// Secure deletion of files: overwriting a file's contents with zeros a number of times before it
// is deleted, and DeleteFoundFile, the cleaning function of every file object. The number of
// passes and whether to shred at all come from the run's options.
#pragma once

#include <string>

#include "engine/FoundObject.h"
#include "engine/RunContext.h"

// More passes are refused; the options never give more than 100.
constexpr int kMaxShredPasses = 200;

// Overwrites the whole file with zero bytes `passes` times, flushing it to disk after each pass.
// The length grows to the next multiple of 128 bytes. Returns 1 when the file was opened and every
// pass was written; 0 when passes exceeds 200, the path is a link (reparse point) or read-only,
// the file has more than one name (hard links), cannot be opened exclusively, or a write or flush
// failed (which ends the shredding of the file).
int ShredFile(const std::string& path, int passes);

// ShredFile with the run's number of passes while status-bar part 0 reads "正在粉碎...";
// the previous text of part 0 returns afterwards. Returns 1.
int ShredWithStatus(const std::string& path, CRunContext* context);

// The deletion of one file at path, whose attributes were just read: a read-only file loses the
// attribute right before it goes (and gets it back if it stays); the file is shredded first when the
// context's options say so (*overwritten tells whether every pass was written); a file in use is,
// with the option "DeleteAfterWinRestart", left to the system to remove once it is free. Nothing is
// counted. Returns ERROR_SUCCESS or the error of the deletion.
DWORD ShredAndDelete(const std::string& path, DWORD attributes, CRunContext* context, bool* overwritten = nullptr);

// Cleaning function of file objects (m_strPath = full path, m_dwSize = size): shreds the file
// when the options say so, deletes it and counts it as deleted or not deleted. A file that has
// become a link, or lies below a folder of the scan's walk that has, is not touched and counts as
// not deleted. A read-only file loses the attribute right before it goes. A file that is in use
// is, with the option "DeleteAfterWinRestart", left to the system to remove once it is free.
// Returns 1.
int DeleteFoundFile(CFoundObject* pObject, CRunContext* pContext, int nReserved1, int nReserved2);

// The record of a found file: kind 1, the name after the last backslash, the low 32 bits of the
// size, the status (which must outlive the UWM_ADD_OBJECT that carries the record) and
// DeleteFoundFile as its cleaning function. Report it with the full status.m_qwSize.
CFoundObject MakeFileObject(const std::string& path, const CFileStatus& status);
