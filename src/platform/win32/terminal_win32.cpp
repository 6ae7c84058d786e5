#include <io.h>
#include <windows.h>
// After windows.h, which it builds on.
#include <shellapi.h>

#include "platform/terminal.h"
#include "platform/win32/wide_text.h"

namespace orv {
namespace {

HANDLE ConsoleOf(std::FILE* stream) {
  const int fd = _fileno(stream);
  return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i)
    arguments.push_back(win32::FromWide(CP_UTF8, wide[i]).value_or(std::string()));
  LocalFree(wide);
  return arguments;
}

bool IsTerminal(std::FILE* stream) {
  // _isatty also says yes for the NUL device; only a console has a mode.
  const HANDLE handle = ConsoleOf(stream);
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

void EnableUtf8Console(std::FILE* stream) {
  const HANDLE handle = ConsoleOf(stream);
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || GetConsoleMode(handle, &mode) == 0) return;
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleMode(handle, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
}

}  // namespace orv
