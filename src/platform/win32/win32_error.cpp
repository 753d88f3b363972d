#include "platform/win32/win32_error.h"

#include <winhttp.h>

#include <utility>

#include "platform/error.h"

namespace kobex::win32 {
namespace {

// The system's own text for a code, as it gives it; empty when it has none
// (the wording then gives the bare code). With a module, its own table is
// searched first and then the system's.
std::string RawMessage(DWORD code, HMODULE module) {
  char buffer[512] = {};
  const DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM |
                      (module ? FORMAT_MESSAGE_FROM_HMODULE : 0);
  const DWORD length = FormatMessageA(flags, module, code, 0, buffer, sizeof buffer, nullptr);
  return std::string(buffer, length);
}

}  // namespace

std::string SystemMessage(DWORD code, HMODULE module) { return SystemText(RawMessage(code, module), code); }

void ThrowWin32Error(const std::string& what, DWORD code) {
  throw Error(StepFailure(what, SystemMessage(code)));
}

void ThrowLastError(const char* what) {
  const DWORD code = GetLastError();
  ThrowWin32Error(what, code);
}

void ThrowComError(const std::string& what, HRESULT result) {
  if (HRESULT_FACILITY(result) == FACILITY_WIN32) ThrowWin32Error(what, HRESULT_CODE(result));
  const auto code = static_cast<DWORD>(result);
  throw Error(StepFailure(what, ComText(RawMessage(code, nullptr), code)));
}

void ThrowDeliveryError(std::string_view url, Delivery delivery, DWORD code, DWORD timeoutMs) {
  DeliveryStop stop = DeliveryStop::Other;
  switch (code) {
    case ERROR_WINHTTP_CANNOT_CONNECT:
      stop = DeliveryStop::Refused;
      break;
    case ERROR_WINHTTP_TIMEOUT:
      stop = DeliveryStop::TimedOut;
      break;
    case ERROR_WINHTTP_CONNECTION_ERROR:
      stop = DeliveryStop::Reset;
      break;
    default:
      break;
  }
  // WinHTTP's own codes have their text in its message table.
  const std::string systemText =
      stop == DeliveryStop::Other ? SystemMessage(code, GetModuleHandleA("winhttp.dll")) : std::string();
  const std::string reason = DeliveryReason(stop, timeoutMs, systemText);
  // Never asked for a request that was delivered; were it, it would still say why.
  throw Error(DeliveryFailure(url, delivery, reason).value_or(reason));
}

void ThrowProgramError(std::string description) { throw Error(std::move(description)); }

}  // namespace kobex::win32
