#include "vsthost/PluginLibrary.h"

#include <dlfcn.h>

namespace {

// Under the leak checker the plug-in stays mapped after dlclose: its libraries' lasting
// caches (fontconfig's, cairo's) are then still named in the report, so that the
// suppressions for them apply, and a leak of ours is shown with its source lines.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kKeepLoaded = RTLD_NODELETE;
#else
constexpr int kKeepLoaded = 0;
#endif

std::string lastDlError(const char* fallback) {
  const char* text = dlerror();
  return text ? std::string(text) : std::string(fallback);
}

}  // namespace

PluginLibrary::PluginLibrary(const std::string& path) : path_(path) {
  // A name without a slash would make dlopen search the system's library paths; the
  // caller means the file of that name in the current directory.
  const std::string file = path.find('/') == std::string::npos ? "./" + path : path;
  dlerror();  // forget any earlier failure so that the texts below are ours
  // RTLD_NOW: a plug-in with an unresolved symbol must fail here, with the symbol named,
  // rather than crash the host later in the middle of processing. RTLD_LOCAL: two
  // plug-ins that share class names must not bind to each other's code.
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL | kKeepLoaded);
  if (!handle_) {
    error_ = "cannot load " + path + ": " + lastDlError("unknown dlopen failure");
    return;
  }
  for (const char* name : {"VSTPluginMain", "main"}) {
    dlerror();
    void* address = dlsym(handle_, name);
    if (address) {
      // POSIX guarantees that a data pointer from dlsym converts to a function pointer.
      entry_ = reinterpret_cast<VstPluginEntry>(address);
      entryName_ = name;
      return;
    }
  }
  error_ = "no entry point in " + path + ": neither VSTPluginMain nor main is exported (" +
           lastDlError("symbol not found") + ")";
}

PluginLibrary::~PluginLibrary() {
  if (handle_) dlclose(handle_);
}

void* PluginLibrary::symbol(const char* name) const {
  if (!handle_ || !name) return nullptr;
  return dlsym(handle_, name);
}
