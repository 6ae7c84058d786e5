#include <unistd.h>

#include "platform/terminal.h"

namespace orv {

bool IsTerminal(std::FILE* stream) {
  const int fd = fileno(stream);
  return fd >= 0 && isatty(fd) != 0;
}

}  // namespace orv
