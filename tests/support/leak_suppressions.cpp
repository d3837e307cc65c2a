// Linked into the programs of the sanitized test build only.
//
// Fontconfig keeps the configuration it parsed on first use for the rest of
// the process; the leak checker is told to ignore it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
extern "C" const char* __lsan_default_options() { return "print_suppressions=0"; }
