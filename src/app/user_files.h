#pragma once
// How the files written for the user are encoded: as the Chinese Windows code
// page has it, so that the spreadsheet and text programs there read them.

#include "platform/text_codec.h"

namespace orv {

inline constexpr FileEncoding kUserFileEncoding = FileEncoding::kGb18030;

}  // namespace orv
