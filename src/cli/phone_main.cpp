// orv-phone: the phone wing for scripts and batch work.
//
//   orv-phone survey [--serial S] [--encoding gb18030|utf-8]

#include <cstdio>
#include <string>
#include <vector>

#include "cli/phone_survey.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = orv::Utf8Arguments(argc, argv);
  if (args.size() >= 2 && args[1] == "survey")
    return orv::RunSurveyCommand({args.begin() + 2, args.end()});
  std::fputs("usage: orv-phone survey [--serial S] [--encoding gb18030|utf-8]\n", stderr);
  return 64;
}
