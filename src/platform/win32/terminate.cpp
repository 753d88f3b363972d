// The C++ library's fatal and reported errors, made small. std::terminate just ends the process: the
// default links a demangler for a console we lack. The library's own errors are thrown as our Error,
// as std::logic_error and its kin would link a second string implementation.
#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

#include "platform/win32/win32_error.h"

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

namespace std {
namespace {
[[noreturn]] void Raise(const char* what) { kobex::win32::ThrowProgramError(what ? what : ""); }
}  // namespace

void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* what) { Raise(what); }
void __throw_domain_error(const char* what) { Raise(what); }
void __throw_invalid_argument(const char* what) { Raise(what); }
void __throw_length_error(const char* what) { Raise(what); }
void __throw_out_of_range(const char* what) { Raise(what); }
// The message's arguments are left out: its format alone says what went wrong.
// NOLINTNEXTLINE(cert-dcl50-cpp): the library declares it variadic.
void __throw_out_of_range_fmt(const char* format, ...) { Raise(format); }
void __throw_runtime_error(const char* what) { Raise(what); }
void __throw_range_error(const char* what) { Raise(what); }
void __throw_overflow_error(const char* what) { Raise(what); }
void __throw_underflow_error(const char* what) { Raise(what); }
}  // namespace std
