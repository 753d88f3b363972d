// What std::terminate does in kobex.exe: end the process. The library's
// default would print a demangled type name to a console this GUI program
// does not have, and brings a demangler of some 70 KiB into the file for it.
// (An error that escapes an event is handled long before this; see
// frmCorvane::RaiseEvent.)
#include <cstdlib>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
