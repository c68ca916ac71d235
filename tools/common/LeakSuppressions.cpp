// Read by LeakSanitizer in sanitizer builds, ignored otherwise. Fontconfig, which cairo uses
// to find the plot's font, loses a few hundred bytes while it parses its configuration
// files; that is not ours to fix, and without this every sanitizer run that draws the
// plot would end in a leak report. Visible, so that the sanitizer runtime finds it although
// the build hides symbols by default.

extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
  return "leak:libfontconfig.so\n";
}
