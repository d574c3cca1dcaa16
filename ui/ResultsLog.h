// The text log of the results list: a header (string 203) with the date and time and the texts of
// status-bar panes 1, 3 and 2, one line per row ("type: [ path   size ]"), and the closing block
// (string 204). Multibyte text of the ANSI code page, CR LF line ends, no byte-order mark.
#pragma once

#include <ctime>
#include <string>

// Lists longer than this are not saved.
constexpr int kMaxLogRows = 50000;

// FormatDate of the time followed by "  HH:MM:SS" (each piece empty when it cannot be converted).
std::string LogDateTime(__time64_t now);
std::string LogHeader(const std::string& dateTime, const std::string& pane1, const std::string& pane3,
                      const std::string& pane2);
std::string LogRowLine(const std::string& type, const std::string& path, const std::string& size);
std::string LogFooter();
