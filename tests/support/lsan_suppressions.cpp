// Leaks the sanitizer should not report in any test executable, however it is
// started (ctest or directly).
extern "C" const char* __lsan_default_suppressions() {
  // fontconfig keeps its configuration until FcFini, which a library cannot
  // safely call at exit while other users (Qt) may still hold its patterns.
  return "leak:libfontconfig.so\n";
}
