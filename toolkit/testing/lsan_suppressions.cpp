// Fontconfig keeps its font cache for the life of the process and frees it only on an explicit
// FcFini, which pango never calls; that memory is not ours to free, so the leak checker skips it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
