#pragma once
// Which rows of a fixture image the scan must give back, by what the scan's
// recognition can take: shared by the end-to-end tests of the scan and of
// record assembly.

#include "fixtures/android_release.h"
#include "fixtures/image_truth.h"

namespace orv {

// From Android 4.4 on a column stands between a call's number and its date,
// a layout the call-log recognition does not take.
inline bool CallsRecognised(fixtures::AndroidRelease release) {
  return release == fixtures::AndroidRelease::k2_3 || release == fixtures::AndroidRelease::k4_0;
}

// A live row whose cell lies in a database laid in the image.
inline bool IsLiveInImage(const fixtures::ImageRow& row) {
  return !row.row.deleted && row.cellImageOffset && row.source.find(" as ") == std::string::npos;
}

// A deleted call or message whose record survives in a page in use (a page
// on the freelist keeps its leaf header, so its rows read as live), or one
// held by a reused page, and whose layout the carving's anchors can take: a
// 1- or 2-byte duration, a thread_id of 2 to 127.
inline bool ComesBackDeleted(const fixtures::ImageRow& imageRow, fixtures::AndroidRelease release) {
  const auto& t = imageRow.row;
  bool inUsedPage = false;
  for (const auto& copy : imageRow.tailCopies) inUsedPage = inUsedPage || !copy.onFreelist;
  if (!inUsedPage) return false;
  if (!t.deleted && imageRow.source.find(" as ") == std::string::npos) return false;
  if (t.table == fixtures::FixtureTable::kCalls)
    return CallsRecognised(release) && t.duration < 32768;
  if (t.table == fixtures::FixtureTable::kSms) return t.threadId >= 2 && t.threadId <= 127;
  return false;
}

}  // namespace orv
