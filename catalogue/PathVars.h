// Path variables: ResolvePathVar turns a variable such as "%AppData%" that stands at the start of a
// path into the folder of the running system, so that one data file serves every user and every
// Windows installation. Only the first component of a path is ever resolved.
#pragma once

#include <string>

// Resolves the variable at the start of `path` into `result` and answers 1, or answers 0 and leaves
// `result` equal to `path`.
// - Single-component form (split false): the whole path must be one variable; the result is the
//   folder as the system gives it, without a backslash added.
// - Split form (split true, separator "\\"): the first component (up to the first separator) is
//   resolved and the trimmed remainder follows it after one separator.
// The variables, tried in this order without regard to case: %SystemDrive%, %ProgramFiles%,
// %AppData%, %AllUsersAppData%, %LocalAppData%, %PersonalData%, %WindowsDir%, %CurUsrDesktop%,
// %CurUsrProfile%. No other environment variable is expanded.
int ResolvePathVar(const std::string& path, std::string& result, const std::string& separator = std::string(),
                   bool split = false);
