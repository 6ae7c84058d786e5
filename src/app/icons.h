#pragma once
// The window's image lists: il1 (phone information and connection state),
// il2 (trees and result lists) and il3 (hint lists). The pictures are drawn by
// the program; an index names the same picture everywhere.

#include <QIcon>

namespace orv {

enum class ImageList { kIl1, kIl2, kIl3 };

// Indexes with a meaning of their own.
inline constexpr int kHintImage = 0;            // il3: a hint
inline constexpr int kStateImage = 0;           // il1: the connection state
inline constexpr int kDeletedRecordImage = 11;  // il2: a deleted record
inline constexpr int kNormalRecordImage = 12;   // il2: a live record

QIcon ImageListIcon(ImageList list, int index);

}  // namespace orv
