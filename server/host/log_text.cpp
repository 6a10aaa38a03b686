#include "server/host/log_text.h"

#include <cstdio>

namespace server {

std::string logTimeStamp(int hours, int minutes, int seconds) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d ", hours, minutes, seconds);
    return buf;
}

std::string appendLogLine(std::string current, int hours, int minutes, int seconds, std::string_view msg) {
    if (!current.empty()) current += "\r\n";
    current += logTimeStamp(hours, minutes, seconds);
    current += msg;
    if (current.size() > kLogCapacity) current.erase(0, current.size() - kLogCapacity);
    return current;
}

}  // namespace server
