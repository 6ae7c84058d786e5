#include "cli/terminal_progress.h"

#include <cinttypes>

#include "platform/progress_estimate.h"

namespace orv {
namespace {

constexpr std::int64_t kSectorBytes = 512;

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out, bool isTerminal, std::uint64_t sourceBytes)
    : out_(out), isTerminal_(isTerminal), sourceBytes_(sourceBytes) {}

void TerminalProgress::addLogLine(const LogLine& line) {
  std::lock_guard lock(mutex_);
  log_.push_back(line);
  endLine();
  std::fprintf(out_, "%s %s %s\n", line.time.c_str(), line.type.c_str(), line.description.c_str());
}

void TerminalProgress::setGaugeRange(std::int64_t maximum) {
  std::lock_guard lock(mutex_);
  maximum_ = maximum;
  position_ = 0;
  // The byte-by-byte passes count sectors up to the last 64 KiB block start.
  const std::int64_t sectors = static_cast<std::int64_t>(sourceBytes_) / kSectorBytes;
  sectorScale_ = maximum == sectors / 128 * 128 - 128;
  stageStart_ = Clock::now();
}

void TerminalProgress::setGaugePosition(std::int64_t position) {
  std::lock_guard lock(mutex_);
  position_ = position;
  draw();
}

void TerminalProgress::setStatus(int, const std::string&) {}

void TerminalProgress::showMessage(const std::string& text) {
  std::lock_guard lock(mutex_);
  endLine();
  std::fprintf(out_, "提示: %s\n", text.c_str());
}

void TerminalProgress::finish() {
  std::lock_guard lock(mutex_);
  endLine();
}

std::vector<LogLine> TerminalProgress::logLines() const {
  std::lock_guard lock(mutex_);
  return log_;
}

void TerminalProgress::draw() {
  const auto now = Clock::now();
  const auto interval = isTerminal_ ? std::chrono::milliseconds(200) : std::chrono::seconds(5);
  if (now - lastDraw_ < interval) return;
  lastDraw_ = now;
  const double fraction = ProgressFraction(position_, maximum_);
  const double elapsed = std::chrono::duration<double>(now - stageStart_).count();
  const double left = SecondsLeft(fraction, elapsed).value_or(-1);
  char rate[32] = "";
  if (sectorScale_ && elapsed > 0)
    std::snprintf(rate, sizeof rate, "  %.1f MB/s",
                  static_cast<double>(position_) * kSectorBytes / 1e6 / elapsed);
  std::fprintf(out_, "%s%5.1f%%%s  剩余 %s", isTerminal_ ? "\r" : "", fraction * 100, rate,
               FormatDuration(left).c_str());
  if (isTerminal_) {
    std::fputs("\033[K", out_);
    lineOpen_ = true;
  } else {
    std::fputc('\n', out_);
  }
  std::fflush(out_);
}

void TerminalProgress::endLine() {
  if (!lineOpen_) return;
  std::fputc('\n', out_);
  lineOpen_ = false;
}

}  // namespace orv
