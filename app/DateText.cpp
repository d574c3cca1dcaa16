#include "app/DateText.h"

#include "app/SettingsStore.h"

std::string FormatLocalTime(__time64_t time, const char* format)
{
    struct tm local = {};
    if (_localtime64_s(&local, &time) != 0) return std::string();
    // Room for the long day and month names of the clean report's start time.
    char text[256] = "";
    if (strftime(text, sizeof text, format, &local) == 0) return std::string();
    return text;
}

std::string FormatDate(__time64_t time)
{
    return FormatLocalTime(time, TheSettings().m_bMonthDayYear ? "%m/%d/%Y" : "%d/%m/%Y");
}

std::string FormatDateAndMinutes(__time64_t time) { return FormatDate(time) + FormatLocalTime(time, " %H:%M"); }
