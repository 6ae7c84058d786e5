// orv-phone: the phone wing for scripts and batch work.
//
//   orv-phone survey [--serial S] [--encoding gb18030|utf-8]
//   orv-phone ls PHONE_DIR
//   orv-phone image SN --to PC_FOLDER [--phone-target PATH] [--yes]
//   orv-phone pull PHONE_FILE --to PC_FOLDER [--yes]

#include <cstdio>
#include <string>
#include <vector>

#include "cli/phone_copy.h"
#include "cli/phone_survey.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = orv::Utf8Arguments(argc, argv);
  if (args.size() >= 2) {
    const std::vector<std::string> rest(args.begin() + 2, args.end());
    if (args[1] == "survey") return orv::RunSurveyCommand(rest);
    if (args[1] == "ls") return orv::RunLsCommand(rest);
    if (args[1] == "image") return orv::RunImageCommand(rest);
    if (args[1] == "pull") return orv::RunPullCommand(rest);
  }
  std::fputs(
      "usage: orv-phone survey [--serial S] [--encoding gb18030|utf-8]\n"
      "       orv-phone ls PHONE_DIR\n"
      "       orv-phone image SN --to PC_FOLDER [--phone-target PATH] [--yes]\n"
      "       orv-phone pull PHONE_FILE --to PC_FOLDER [--yes]\n",
      stderr);
  return 64;
}
