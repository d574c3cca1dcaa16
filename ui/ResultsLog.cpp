#include "ui/ResultsLog.h"

#include "app/DateText.h"
#include "app/Utilities.h"
#include "framework/MbString.h"
#include "resource.h"

std::string LogDateTime(__time64_t now)
{
    // "%X" of the C library's default locale is the 24-hour HH:MM:SS.
    return FormatDate(now) + FormatLocalTime(now, "  %X");
}

std::string LogHeader(const std::string& dateTime, const std::string& pane1, const std::string& pane3,
                      const std::string& pane2)
{
    const std::string format = LoadResString(IDS_LOG_HEADER);
    return framework::Format(format.c_str(), dateTime.c_str(), pane1.c_str(), pane3.c_str(), pane2.c_str());
}

std::string LogRowLine(const std::string& type, const std::string& path, const std::string& size)
{
    std::string line;
    line.reserve(type.size() + path.size() + size.size() + 12);
    line += type;
    line += ": [ ";
    line += path;
    line += "   ";
    line += size;
    line += " ]\r\n";
    return line;
}

std::string LogFooter()
{
    return LoadResString(IDS_LOG_FOOTER);
}
