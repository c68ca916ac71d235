#pragma once
// A plug-in's shared object, opened the way a DAW opens it: dlopen with every symbol
// bound at load time and nothing of the plug-in made visible to other libraries, then the
// entry point looked up by name.
//
// Thread contract: construct and destroy on one thread; once constructed the object is
// immutable and may be read from any thread. Every effect created through entry() must be
// closed before the library is destroyed, since destruction unloads the code.

#include <string>

#include "host/VstInterface.h"

// The entry point every VST 2.4 plug-in exports.
using VstPluginEntry = AEffect* (*)(audioMasterCallback host);

class PluginLibrary {
 public:
  // Opens the shared object at path (a bare file name means one in the current
  // directory, not a search of the system library paths). Failures are reported through loaded(),
  // entry() and error(), never by throwing: a host must survive a broken plug-in.
  explicit PluginLibrary(const std::string& path);
  ~PluginLibrary();
  PluginLibrary(const PluginLibrary&) = delete;
  PluginLibrary& operator=(const PluginLibrary&) = delete;

  const std::string& path() const { return path_; }
  // True when dlopen succeeded.
  bool loaded() const { return handle_ != nullptr; }
  // "VSTPluginMain", or "main" for plug-ins built before VST 2.4 named it; null when
  // neither is exported.
  VstPluginEntry entry() const { return entry_; }
  // The name under which entry() was found; empty when there is none.
  const std::string& entryName() const { return entryName_; }
  // One line saying why the library cannot be used; empty when entry() is usable.
  const std::string& error() const { return error_; }
  // Looks a symbol up in this library only (not in the executable or other libraries).
  void* symbol(const char* name) const;

 private:
  std::string path_;
  void* handle_ = nullptr;
  VstPluginEntry entry_ = nullptr;
  std::string entryName_;
  std::string error_;
};
