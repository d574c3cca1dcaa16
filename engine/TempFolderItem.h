// Item 1104, the temporary-files folder: a three-step item whose prepare function finds the folder
// named by the TEMP (else TMP) environment variable. Counting, scanning and finishing are the
// standard functions of folder-based items.
#pragma once

#include <string>

#include "catalogue/ModItem.h"

// Stores the folder as a heap std::string in m_pScanData. 1 when TEMP or TMP named a folder; 0
// when m_pScanData was already set, or when neither variable is set (the empty string stays for the
// finish function to free).
int TempFolderPrepare(CModItem* pItem);

// Value of an environment variable of this process; empty when it is not set.
std::string ReadEnvironmentVariable(const char* name);
