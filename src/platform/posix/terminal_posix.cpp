#include <unistd.h>

#include "platform/terminal.h"

namespace orv {

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

bool IsTerminal(std::FILE* stream) {
  const int fd = fileno(stream);
  return fd >= 0 && isatty(fd) != 0;
}

void EnableUtf8Console(std::FILE*) {}

}  // namespace orv
