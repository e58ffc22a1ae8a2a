// Under the leak checker: fontconfig, which Qt's font database uses, keeps
// allocations it never frees to the end of the process. They are not ours.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig\n"; }
