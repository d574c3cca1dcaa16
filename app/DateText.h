// Dates and times as the program shows, stores and logs them, in local time. The date follows the
// month-day-year option that the settings store reads at start-up and after the options sheet.
#pragma once

#include <ctime>
#include <string>

// The local time with a strftime format; empty when the time cannot be converted.
std::string FormatLocalTime(__time64_t time, const char* format);

// Date of a calendar time in local time: "%m/%d/%Y" with the month-day-year option, else "%d/%m/%Y".
std::string FormatDate(__time64_t time);

// FormatDate followed by " HH:MM" (each piece empty when it cannot be converted).
std::string FormatDateAndMinutes(__time64_t time);
