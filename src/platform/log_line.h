#pragma once
// One line of the activity log: when, what kind of event, what happened.

#include <string>

#include "platform/clock.h"

namespace orv {

struct LogLine {
  std::string time;         // "yyyy-M-d H:mm:ss", taken when the line is made
  std::string type;         // a short word: "提示", "错误", "操作", ...
  std::string description;  // free text
};

inline LogLine MakeLogLine(std::string type, std::string description) {
  return {FormatLogTime(Now()), std::move(type), std::move(description)};
}

}  // namespace orv
