#include "vsthost/PluginLibrary.h"

#include <dlfcn.h>

namespace {

// Under the leak checker the drawing libraries a plug-in brings in are kept loaded after
// the plug-in goes: their lasting caches (fontconfig's, cairo's) are then still named in
// the leak report, where the suppressions for them apply, instead of showing as leaks of
// an unknown module. The plug-in itself is unloaded as a host would.
void keepDrawingLibrariesLoaded() {
#if defined(__SANITIZE_ADDRESS__)
  for (const char* library : {"libfontconfig.so.1", "libcairo.so.2", "libX11.so.6"})
    dlopen(library, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
#endif
}

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
  keepDrawingLibrariesLoaded();
  handle_ = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
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
