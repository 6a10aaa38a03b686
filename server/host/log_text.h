#pragma once
// The text of the operator's log, kept apart from the widget that shows it.

#include <cstddef>
#include <string>
#include <string_view>

namespace server {

inline constexpr std::size_t kLogCapacity = 2048;

// "HH:NN:SS " with two digits each, 24-hour clock.
std::string logTimeStamp(int hours, int minutes, int seconds);

// The log after one more line: CR LF before it unless the log is empty, the
// time stamp and the message, then only the last kLogCapacity characters
// (cut from the front, possibly inside a line).
std::string appendLogLine(std::string current, int hours, int minutes, int seconds, std::string_view msg);

}  // namespace server
