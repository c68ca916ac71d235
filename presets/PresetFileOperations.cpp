// Preset and bank files: the dialog, the remembered folder and names, and the whole file
// read through the image readers or written from the image writers.

#include <memory>
#include <vector>

#include "gui/CFrame.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/XPlatFile.h"

using tavola::FileDialogRequest;

namespace {

const char* fileWhat(AcceptedImages accepted) {
  return accepted == AcceptedImages::kBanks ? "bank file" : "preset file";
}

FileDialogRequest presetRequest(FileDialogRequest::Kind kind, const char* title,
                                const std::string& directory) {
  FileDialogRequest request;
  request.kind = kind;
  request.title = title;
  request.filterDescription = "ZEB Preset";
  request.extension = "zeb";
  request.initialDirectory = directory;
  return request;
}

FileDialogRequest bankRequest(FileDialogRequest::Kind kind, const char* title,
                              const std::string& directory) {
  FileDialogRequest request = presetRequest(kind, title, directory);
  request.filterDescription = "ZEB Bank";
  request.extension = "zbb";
  return request;
}

// The whole file, read-only. Nothing is allocated for a file too large to be ours.
bool readWholeFile(const std::string& name, const std::string& directory,
                   std::vector<unsigned char>& bytes, std::string& error) {
  std::unique_ptr<XPlatFile> file;
  const long long size = XPlatFileOpen(name, directory, file, false, &error);
  if (size < 0) return false;
  if (size > kMaxPresetFileSize) {
    error = "it is " + std::to_string(size) +
            " bytes long, far more than any preset or bank (at most " +
            std::to_string(kMaxPresetFileSize) + " bytes are read)";
    XPlatFileClose(file);
    return false;
  }
  bytes.resize(static_cast<std::size_t>(size));
  const bool read = XPlatFileRead(file.get(), bytes.data(), bytes.size(), &error);
  XPlatFileClose(file);
  return read;
}

}  // namespace

bool CPresetSystemEditor::startFileDialog(const FileDialogRequest& request, FileOperation operation,
                                          bool endianReversed) {
  // One dialog at a time: a click while one is open changes nothing.
  if (!fileDialog_ || fileOperation_ != FileOperation::kNone) return false;
  if (!fileDialog_->start(request)) return false;
  fileOperation_ = operation;
  fileEndianReversed_ = endianReversed;
  // A dialog that answers at once (or could not be shown) is done with now.
  pollFileDialog();
  return true;
}

void CPresetSystemEditor::pollFileDialog() {
  if (fileOperation_ == FileOperation::kNone || !fileDialog_) return;
  std::vector<std::string> chosen;
  if (!fileDialog_->finished(chosen)) return;
  const FileOperation operation = fileOperation_;
  fileOperation_ = FileOperation::kNone;
  if (chosen.empty() && !fileDialog_->error().empty()) alert(fileDialog_->error());
  // No file or several: nothing happens.
  if (chosen.size() != 1) return;
  const std::string& path = chosen.front();
  switch (operation) {
    case FileOperation::kLoadPreset:
      finishLoadPreset(path, fileEndianReversed_);
      break;
    case FileOperation::kSavePreset:
      rememberChosenFile(path, FileKind::kPreset);
      saveImageFile(path, FileKind::kPreset);
      break;
    case FileOperation::kLoadBank:
      finishLoadBank(path, fileEndianReversed_);
      break;
    case FileOperation::kSaveBank:
      rememberChosenFile(path, FileKind::kBank);
      saveImageFile(path, FileKind::kBank);
      break;
    case FileOperation::kNone:
      break;
  }
}

void CPresetSystemEditor::cancelFileDialog() {
  if (fileDialog_ && fileOperation_ != FileOperation::kNone) fileDialog_->cancel();
  fileOperation_ = FileOperation::kNone;
}

void CPresetSystemEditor::rememberChosenFile(const std::string& path, FileKind kind) {
  std::string name, directory;
  XPlatGetFileNameAndDir(path, name, directory);
  // A name cut to fit would lead the next dialog astray (or split a UTF-8 character):
  // what does not fit is not remembered at all.
  if (directory.empty() || name.size() > kMaxRememberedNameSize ||
      directory.size() > kMaxRememberedNameSize)
    return;
  RememberedName& file = kind == FileKind::kBank ? bankFileName_ : presetFileName_;
  // Chosen even when equal to what this instance had: another instance may have stored
  // other names since, and this choice is the latest.
  for (auto [remembered, value] : {std::pair{&currentDir_, &directory}, std::pair{&file, &name}}) {
    remembered->value = *value;
    remembered->chosen = true;
  }
  // Stored at once, so that a host that crashes later does not lose them.
  storePathsAndFilenames();
}

bool CPresetSystemEditor::loadImageFile(const std::string& path, AcceptedImages accepted,
                                        bool endianReversed, CPresetSystemEffect::BankStart start) {
  std::string name = path, directory;
  XPlatGetFileNameAndDir(path, name, directory);
  std::vector<unsigned char> bytes;
  std::string error;
  if (!readWholeFile(name, directory, bytes, error)) {
    alert(std::string("Could not load the ") + fileWhat(accepted) + " " + path + ": " + error);
    return false;
  }
  const ImageReadResult result = readImageFromBytes(bytes, accepted, endianReversed, start);
  if (!result.ok()) {
    alert(std::string("The ") + fileWhat(accepted) + " " + path +
          " was not loaded: " + result.reason);
    return false;
  }
  return true;
}

void CPresetSystemEditor::saveImageFile(const std::string& path, FileKind kind) {
  const char* what = kind == FileKind::kBank ? "bank file" : "preset file";
  std::unique_ptr<unsigned char[]> image;
  const std::size_t size = kind == FileKind::kBank ? BankToBuffer(image) : PresetToBuffer(image);
  if (size == 0) {
    alert(std::string("Could not save the ") + what + " " + path +
          ": there is no preset memory to save");
    return;
  }
  std::string name = path, directory;
  XPlatGetFileNameAndDir(path, name, directory);
  std::unique_ptr<XPlatFile> file;
  std::string error;
  const bool saved = XPlatFileOpen(name, directory, file, true, &error) >= 0 &&
                     XPlatFileWrite(file.get(), image.get(), size, &error) &&
                     XPlatFileClose(file, &error);
  if (!saved)
    alert(std::string("Could not save the ") + what + " " + path + ": " + error +
          " (an earlier file of that name is unchanged)");
}

void CPresetSystemEditor::loadPreset(bool endianReversed) {
  startFileDialog(presetRequest(FileDialogRequest::Kind::kOpen,
                                endianReversed ? "Load preset (endian-reversed)" : "Load preset",
                                currentDir_.value),
                  FileOperation::kLoadPreset, endianReversed);
}

void CPresetSystemEditor::finishLoadPreset(const std::string& path, bool endianReversed) {
  rememberChosenFile(path, FileKind::kPreset);
  loadImageFile(path, AcceptedImages::kPresets, endianReversed,
                CPresetSystemEffect::BankStart::kImagesCurrent);
  frameInvalidated();
}

void CPresetSystemEditor::savePreset() {
  FileDialogRequest request =
      presetRequest(FileDialogRequest::Kind::kSave, "Save preset", currentDir_.value);
  request.defaultName = presetFileName_.value;
  startFileDialog(request, FileOperation::kSavePreset, false);
}

void CPresetSystemEditor::loadBank(bool endianReversed) {
  startFileDialog(
      bankRequest(FileDialogRequest::Kind::kOpen,
                  endianReversed ? "Load bank (endian-reversed)" : "Load bank", currentDir_.value),
      FileOperation::kLoadBank, endianReversed);
}

void CPresetSystemEditor::finishLoadBank(const std::string& path, bool endianReversed) {
  rememberChosenFile(path, FileKind::kBank);
  // A loaded bank starts at its first preset, whichever the file had current, and only
  // that preset is applied; a refused one changes nothing at all.
  loadImageFile(path, AcceptedImages::kBanks, endianReversed,
                CPresetSystemEffect::BankStart::kFirstPreset);
  frameInvalidated();
}

void CPresetSystemEditor::saveBank() {
  FileDialogRequest request =
      bankRequest(FileDialogRequest::Kind::kSave, "Save bank", currentDir_.value);
  request.defaultName = bankFileName_.value;
  startFileDialog(request, FileOperation::kSaveBank, false);
}

void CPresetSystemEditor::frameInvalidated() {
  if (frame_) frame_->setDirty(true);
}
