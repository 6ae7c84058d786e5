#pragma once
// The check every phone path (and every other text from the phone or the
// user) passes before it goes into a command that a root shell on the phone
// runs: `su -c "ls -l /sdcard/x"` hands the text to /system/bin/sh, so a
// quote, `;`, `$(...)` or a backquote in it would run commands as root on the
// evidence device.

#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

// The longest phone path accepted, in bytes (Linux's PATH_MAX less its zero).
inline constexpr std::size_t kMaxPhonePathBytes = 4095;

// Why `path` may not reach the phone's shell, or empty when it may. A path is
// accepted when it
//  - starts with "/" and is at most kMaxPhonePathBytes long;
//  - holds only ASCII letters and digits, `/ . _ - + , @ :`, and non-ASCII
//    characters in well-formed UTF-8 other than control, blank and
//    invisible format characters (U+0080-U+00A0, U+1680, U+2000-U+200F,
//    U+2028-U+202F, U+205F-U+206F, U+3000, U+FEFF);
//  - has no "." or ".." segment, so the path the log shows is the file that
//    is touched (a listing's ".." entry cannot reach the shell either).
// Everything else is refused: quotes, `;`, `$`, backquote, `|`, `&`, `<>`,
// `\`, `*?[]{}~#%=!^()`, blanks, newlines and other control characters,
// invalid UTF-8. The reason is plain Chinese text for the activity log.
std::string PhonePathProblem(std::string_view path);

inline bool IsSafePhonePath(std::string_view path) { return PhonePathProblem(path).empty(); }

// `text` made printable for a log line: control characters, backslashes and
// bytes that are not UTF-8 become \n, \t, \\ or \xHH, so a refused path is
// shown as it was without breaking the line.
std::string PrintableForLog(std::string_view text);

}  // namespace orv
