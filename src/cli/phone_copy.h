#pragma once
// `orv-phone ls`, `orv-phone image` and `orv-phone pull`: the file browser and
// imaging of the desktop program, without a display. The activity log and the
// progress go to standard error; `ls` writes the file list to standard
// output. Every question the desktop program asks is answered No unless
// `--yes` is given.

#include <string>
#include <vector>

namespace orv {

// Exit statuses (0: the listing was made, or the copy is complete and its
// length was checked).
inline constexpr int kExitCopyFailed = 1;
inline constexpr int kExitCopyRefused = 2;  // a check before the copy said no
inline constexpr int kExitCopyStopped = 3;  // interrupted (SIGINT)

// `orv-phone ls PHONE_DIR`: one line per row of the file list, the cells
// "文件名称", "文件长度(字节)", "创建时间", "链接文件", "路径" separated by tabs.
int RunLsCommand(const std::vector<std::string>& args);

// `orv-phone image SN --to PC_FOLDER [--phone-target PATH] [--yes]`: surveys
// the phone, then images the partition of storage entry SN by the plan the
// storage page makes.
int RunImageCommand(const std::vector<std::string>& args);

// `orv-phone pull PHONE_FILE --to PC_FOLDER [--yes]`: the file way.
int RunPullCommand(const std::vector<std::string>& args);

}  // namespace orv
