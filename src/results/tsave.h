#pragma once
// The save worker: writes a preview list as a comma-separated text file and
// reports through the activity log and a message box.

#include <string>

#include "platform/text_codec.h"
#include "results/list_snapshot.h"
#include "results/preview_kind.h"
#include "results/result_views.h"

namespace orv {

class Tsave {
 public:
  // `list`: the rows of lv9 or lv12 as shown (the caller picks the normal or
  // the deleted list and keeps its display order). `kind`: what the list
  // holds; messages get their text column cleaned. `view` must outlive the
  // worker.
  Tsave(ListSnapshot list, std::string fileName, PreviewKind kind, FileEncoding encoding,
        SaveView& view);

  // Runs the save on the calling thread. True when the file was written. On
  // any failure (a row short of cells, the file not writable) the file at
  // `fileName` is left as it was.
  bool run();

 private:
  ListSnapshot list_;
  std::string fileName_;
  PreviewKind kind_;
  FileEncoding encoding_;
  SaveView& view_;
};

}  // namespace orv
