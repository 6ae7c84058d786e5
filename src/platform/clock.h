#pragma once
// The program's one source of "now": the record date test, log lines and the
// time stamps of default file names all ask here, so tests can fix the present.

#include <cstdint>
#include <string>

namespace orv {

struct WallClockReading {
  std::int64_t unixMillis = 0;          // UTC milliseconds since 1970-01-01
  std::int32_t localOffsetSeconds = 0;  // local time minus UTC at that moment
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual WallClockReading now() const = 0;
};

// The clock in use: the system clock unless a test fixed another. Thread-safe.
WallClockReading Now();

// Replaces the clock for the lifetime of the object (tests only; not nestable
// across threads). The clock must outlive the guard.
class ScopedClockOverride {
 public:
  explicit ScopedClockOverride(const Clock& clock);
  ~ScopedClockOverride();
  ScopedClockOverride(const ScopedClockOverride&) = delete;
  ScopedClockOverride& operator=(const ScopedClockOverride&) = delete;

 private:
  const Clock* previous_;
};

// A clock that always reads the same moment.
class FixedClock : public Clock {
 public:
  explicit FixedClock(WallClockReading reading) : reading_(reading) {}
  WallClockReading now() const override { return reading_; }

 private:
  WallClockReading reading_;
};

// Broken-down local wall time of a reading.
struct LocalTime {
  int year, month, day, hour, minute, second;
};
LocalTime ToLocalTime(const WallClockReading& reading);

// "yyyy-M-d H:mm:ss": the short date, a blank and the long time of a log line.
std::string FormatLogTime(const WallClockReading& reading);

// "yyyy-mm-dd hh-nn-ss": the time stamp in default file names.
std::string FormatFileStamp(const WallClockReading& reading);

}  // namespace orv
