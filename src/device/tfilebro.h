#pragma once
// The file browser worker: lists one folder of the phone with `ls -l` as
// root, hands its subfolders to the folder tree on the folder's first listing
// and its other entries (files, links, devices) to the file list.

#include <string>
#include <string_view>
#include <vector>

#include "platform/log_line.h"

namespace orv {

// One row of the file list: the texts of its columns "文件名称", "文件长度(字节)",
// "创建时间", "链接文件", "路径".
struct FileRow {
  std::string name;
  std::string size;     // bytes as printed; "major, minor" for a device; empty for a link
  std::string created;  // date and time as printed
  std::string link;     // link target, or empty
  std::string folder;   // the folder that was listed

  bool operator==(const FileRow&) const = default;
};

// Pictures of the file list's rows.
inline constexpr int kFileImageDatabase = 10;  // the name holds ".db"
inline constexpr int kFileImageOther = 6;
int FileRowImage(const FileRow& row);

// What the worker changes in whoever shows it. Called on the worker's
// thread; a widget implementation runs each call on its UI thread and
// returns when it has run.
class FileBrowserView {
 public:
  virtual ~FileBrowserView() = default;
  virtual void addLogLine(const LogLine& line) = 0;
  virtual void setConnectionState(std::string_view caption, int image) = 0;
  virtual void showMessage(std::string_view text) = 0;  // "提示", returns when closed
  virtual void setConnectButtonEnabled(bool enabled) = 0;
  virtual void showCommandOutput(std::string_view output) = 0;
  virtual void clearFileList() = 0;
  // A subfolder (its full phone path) under the node of the folder being
  // listed, whatever node is selected by now.
  virtual void addFolderNode(const std::string& path) = 0;
  virtual void addFileRows(std::vector<FileRow> rows) = 0;
};

// The entries of a listing: subfolders (full paths, "." and ".." left out)
// and file rows, in listing order. Lines that are not entries are skipped.
struct FolderListing {
  std::vector<std::string> folders;
  std::vector<FileRow> files;
};
FolderListing ReadFolderListing(std::string_view folder, std::string_view lsOutput);

class TFileBro {
 public:
  // `folder`: the phone path of the node double-clicked. `listedBefore`: the
  // node has children already, so no folder nodes are added again.
  TFileBro(std::string folder, bool listedBefore, FileBrowserView& view);

  // Runs on the calling thread; true when the folder was listed.
  bool run();

 private:
  bool checkConnection();
  void log(std::string_view type, const std::string& description);

  std::string folder_;
  bool listedBefore_;
  FileBrowserView& view_;
};

}  // namespace orv
