#pragma once
// The platform helpers of the preset system: splitting a chosen path into folder and name,
// reading and writing preset and bank files, and telling the user why something failed.
//
// Reading opens the file read-only, so a preset on read-only media or with mode 0444
// loads. Writing never changes the target in place: the bytes go to a temporary file
// beside it, which replaces the target only when XPlatFileClose has synced it, so a failed
// save leaves the old file whole.
//
// Thread contract: the host's UI thread (they do file I/O).

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace VSTGUI {
class PlatformWindow;
}

namespace tavola {
class AtomicFileWriter;
}

// Files larger than this are no preset or bank of ours (a bank storing all 44 parameters
// is 11 073 bytes): readers refuse them before allocating anything.
constexpr long long kMaxPresetFileSize = 1 << 20;

// An open preset or bank file. Destroying one that was opened for writing without
// XPlatFileClose abandons the new contents: the target stays as it was.
class XPlatFile {
 public:
  ~XPlatFile();
  XPlatFile(const XPlatFile&) = delete;
  XPlatFile& operator=(const XPlatFile&) = delete;

  const std::string& path() const { return path_; }
  bool isForWriting() const { return writer_ != nullptr; }
  // The descriptor reads go through; -1 for a file opened for writing.
  int readDescriptor() const { return fd_; }

 private:
  XPlatFile() = default;
  friend long long XPlatFileOpen(std::string_view, std::string_view, std::unique_ptr<XPlatFile>&,
                                 bool, std::string*);
  friend bool XPlatFileRead(XPlatFile*, void*, std::size_t, std::string*);
  friend bool XPlatFileWrite(XPlatFile*, const void*, std::size_t, std::string*);
  friend bool XPlatFileClose(std::unique_ptr<XPlatFile>&, std::string*);

  std::string path_;
  int fd_ = -1;
  std::unique_ptr<tavola::AtomicFileWriter> writer_;
};

// Splits a path at its last "/": `name` gets what follows it, `directory` the path up to
// and including it. A path without "/" leaves both as they were.
void XPlatGetFileNameAndDir(std::string_view path, std::string& name, std::string& directory);

// Opens directory + name (simply joined). For reading: read-only, regular files only, and
// the answer is the file's size in bytes. For writing: a new temporary file beside the
// target, and the answer is 0. -1 when the file cannot be opened, with the reason in
// *error.
long long XPlatFileOpen(std::string_view name, std::string_view directory,
                        std::unique_ptr<XPlatFile>& handle, bool write,
                        std::string* error = nullptr);

// Reads or writes exactly `count` bytes. False, with the reason, when that was not
// possible or there is no handle.
bool XPlatFileRead(XPlatFile* handle, void* buffer, std::size_t count,
                   std::string* error = nullptr);
bool XPlatFileWrite(XPlatFile* handle, const void* buffer, std::size_t count,
                    std::string* error = nullptr);

// Closes the file and resets the handle. A file opened for writing replaces its target
// now, synced to disk, if every write succeeded; false, with the reason, if anything
// failed, and then the target is as it was. Nothing happens without a handle.
bool XPlatFileClose(std::unique_ptr<XPlatFile>& handle, std::string* error = nullptr);

// Tells the user something went wrong, and why: a warning window of the desktop with one
// "OK" button, which never stops the host or its audio, and one line on standard error
// ("ZEB Tavola: " and the text, line breaks made spaces). Without a dialog program the
// warning is a window of `window`'s own (the open editor's), if there is one.
void XPlatDisplayAlert(std::string_view text, VSTGUI::PlatformWindow* window = nullptr);
