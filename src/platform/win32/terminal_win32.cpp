#include <io.h>
#include <windows.h>

#include "platform/terminal.h"

namespace orv {

bool IsTerminal(std::FILE* stream) {
  // _isatty also says yes for the NUL device; only a console has a mode.
  const int fd = _fileno(stream);
  if (fd < 0) return false;
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace orv
