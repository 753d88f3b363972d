#include "platform/win32/winhttp_web_control.h"

#include <winhttp.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "kobex_version.h"
#include "control/delivery.h"
#include "platform/error.h"
#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"

namespace kobex::win32 {
namespace {

// A request to `url` that stopped at `delivery` for WinHTTP's error `code`
// (`timeoutMs`: the bound a time-out met), in DeliveryFailure's words.
[[noreturn]] void ThrowDeliveryError(std::string_view url, Delivery delivery, DWORD code, DWORD timeoutMs) {
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

// WinHTTP, loaded from the system folder on the first request.
struct WinHttpApi {
  HMODULE module = nullptr;
  decltype(&::WinHttpOpen) Open = nullptr;
  decltype(&::WinHttpSetTimeouts) SetTimeouts = nullptr;
  decltype(&::WinHttpSetStatusCallback) SetStatusCallback = nullptr;
  decltype(&::WinHttpConnect) Connect = nullptr;
  decltype(&::WinHttpOpenRequest) OpenRequest = nullptr;
  decltype(&::WinHttpSetOption) SetOption = nullptr;
  decltype(&::WinHttpSendRequest) SendRequest = nullptr;
  decltype(&::WinHttpReceiveResponse) ReceiveResponse = nullptr;
  decltype(&::WinHttpCloseHandle) CloseHandle = nullptr;
  DWORD error = 0;  // why it could not be loaded whole: the DLL's load failed, or an export is missing
};

// Loaded once, on the first request; throws Error when the system has no WinHTTP.
const WinHttpApi& WinHttp() {
  static const WinHttpApi api = [] {
    WinHttpApi a;
    a.module = LoadSystemLibrary("winhttp.dll");
    if (!a.module) a.error = GetLastError();
    Bind(a.module, a.Open, "WinHttpOpen");
    Bind(a.module, a.SetTimeouts, "WinHttpSetTimeouts");
    Bind(a.module, a.SetStatusCallback, "WinHttpSetStatusCallback");
    Bind(a.module, a.Connect, "WinHttpConnect");
    Bind(a.module, a.OpenRequest, "WinHttpOpenRequest");
    Bind(a.module, a.SetOption, "WinHttpSetOption");
    Bind(a.module, a.SendRequest, "WinHttpSendRequest");
    Bind(a.module, a.ReceiveResponse, "WinHttpReceiveResponse");
    Bind(a.module, a.CloseHandle, "WinHttpCloseHandle");
    if (!a.error && (!a.Open || !a.SetTimeouts || !a.SetStatusCallback || !a.Connect || !a.OpenRequest ||
                     !a.SetOption || !a.SendRequest || !a.ReceiveResponse || !a.CloseHandle)) {
      a.error = ERROR_PROC_NOT_FOUND;
    }
    return a;
  }();
  if (api.error) {
    ThrowWin32Error("Cannot send requests to the messaging client without WinHTTP", api.error);
  }
  return api;
}

constexpr wchar_t kUserAgent[] = L"kobex/" KOBEX_VERSION_TEXT;

// What one request shares with WinHTTP's thread. The caller and the request
// handle (until HANDLE_CLOSING) both own it, so a caller that gives up early
// never frees it under WinHTTP.
struct Transfer {
  OwnedHandle signal{CreateEventA(nullptr, FALSE, FALSE, nullptr)};  // set on every notification below
  DeliveryProgress delivery;
  std::atomic<bool> connected{false};  // a connection to the client was made
  std::atomic<bool> sendCompleted{false};
  std::atomic<bool> headersAvailable{false};
  std::atomic<DWORD> error{0};
  std::atomic<bool> closing{false};  // WinHTTP reports nothing more about the request
  std::atomic<int> owners{1};

  void Retain() { owners.fetch_add(1); }
  void Release() {
    if (owners.fetch_sub(1) == 1) delete this;
  }
};

// The caller's reference to a new transfer, released on every way out.
class TransferRef {
 public:
  TransferRef() : transfer_(new Transfer) {}
  ~TransferRef() { transfer_->Release(); }
  TransferRef(const TransferRef&) = delete;
  TransferRef& operator=(const TransferRef&) = delete;
  Transfer* operator->() const { return transfer_; }
  Transfer& operator*() const { return *transfer_; }
  Transfer* get() const { return transfer_; }

 private:
  Transfer* transfer_;
};

void CALLBACK OnStatus(HINTERNET /*handle*/, DWORD_PTR context, DWORD status, LPVOID info, DWORD /*length*/) {
  auto* transfer = reinterpret_cast<Transfer*>(context);
  if (!transfer) return;  // the session and connection handles carry no context
  switch (status) {
    case WINHTTP_CALLBACK_STATUS_CONNECTED_TO_SERVER:
      transfer->connected = true;
      break;
    case WINHTTP_CALLBACK_STATUS_SENDING_REQUEST:
      transfer->delivery.Sending();
      break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_SENT:
      transfer->delivery.Sent();
      break;
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
      transfer->sendCompleted = true;
      break;
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
      transfer->headersAvailable = true;
      break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
      transfer->error = static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError;
      break;
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
      transfer->closing = true;
      (void)SetEvent(transfer->signal.get());  // an event this transfer owns: it is set
      transfer->Release();
      return;
    default:
      return;
  }
  (void)SetEvent(transfer->signal.get());
}

[[noreturn]] void Fail(const std::string& url, DWORD error, Delivery delivery = Delivery::NotStarted) {
  ThrowDeliveryError(url, delivery, error, kSendTimeoutMs);
}

// Wide text, NUL-terminated, in a vector: std::wstring would link the library's
// wide-string code. Our texts are ASCII constants; a failed conversion leaves
// them empty and the request fails on its own.
using WideText = std::vector<wchar_t>;

WideText Widen(std::string_view text) {
  const int size = static_cast<int>(text.size());
  // The size goes with the text: it need not end in a NUL.
  // NOLINTNEXTLINE(bugprone-suspicious-stringview-data-usage)
  const int length = size > 0 ? MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0) : 0;
  WideText wide(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  // NOLINTNEXTLINE(bugprone-suspicious-stringview-data-usage)
  if (length > 0) (void)MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

// Waits until `done` holds or the tick count reaches `deadline`, taking no
// window message, so no event runs inside another's request. Answers 0, or the
// error of a failed wait, which must not be told as a time-out.
template <class Condition>
DWORD WaitFor(const Transfer& transfer, DWORD deadline, Condition done) {
  while (!done()) {
    const auto left = static_cast<LONG>(deadline - GetTickCount());
    if (left <= 0) return 0;
    const DWORD waited = WaitForSingleObject(transfer.signal.get(), static_cast<DWORD>(left));
    if (waited == WAIT_FAILED) return GetLastError();
    if (waited != WAIT_OBJECT_0) return 0;
  }
  return 0;
}

}  // namespace

BOOL CloseInternet(HINTERNET handle) noexcept { return WinHttp().CloseHandle(handle); }

WinHttpWebControl::WinHttpWebControl(std::string_view host, std::uint16_t port)
    : host_(Widen(host)), port_(port), endpoint_("http://" + std::string(host) + ":" + std::to_string(port)) {}

HINTERNET WinHttpWebControl::Session(const std::string& url) {
  if (session_) return session_.get();
  const WinHttpApi& http = WinHttp();
  OwnedInternet session(http.Open(kUserAgent, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC));
  if (!session) Fail(url, GetLastError());
  const int ms = static_cast<int>(kSendTimeoutMs);
  if (!http.SetTimeouts(session.get(), ms, ms, ms, static_cast<int>(kReplyTimeoutMs))) Fail(url, GetLastError());
  if (http.SetStatusCallback(session.get(), OnStatus,
                             WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES |
                                 WINHTTP_CALLBACK_FLAG_CONNECT_TO_SERVER | WINHTTP_CALLBACK_FLAG_SEND_REQUEST,
                             0) == WINHTTP_INVALID_STATUS_CALLBACK) {
    Fail(url, GetLastError());
  }
  session_ = std::move(session);
  return session_.get();
}

void WinHttpWebControl::Get(std::string_view path) {
  const DWORD start = GetTickCount();
  const std::string url = endpoint_ + std::string(path);
  const WinHttpApi& http = WinHttp();
  const WideText widePath = Widen(path);

  const OwnedInternet connection(http.Connect(Session(url), host_.data(), port_, 0));
  if (!connection) Fail(url, GetLastError());
  const TransferRef transfer;
  if (!transfer->signal) Fail(url, GetLastError());
  OwnedInternet request(http.OpenRequest(connection.get(), L"GET", widePath.data(), nullptr, WINHTTP_NO_REFERER,
                                         WINHTTP_DEFAULT_ACCEPT_TYPES, 0));
  if (!request) Fail(url, GetLastError());
  DWORD_PTR context = reinterpret_cast<DWORD_PTR>(transfer.get());
  if (!http.SetOption(request.get(), WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context)) {
    Fail(url, GetLastError());  // no notification can name the transfer yet
  }
  // From here the request handle holds a reference too; closing it releases that.
  transfer->Retain();

  // No connection is kept for a later request: each one has its own, so none
  // ever rides on a connection the client may have dropped in between.
  DWORD features = WINHTTP_DISABLE_COOKIES | WINHTTP_DISABLE_REDIRECTS | WINHTTP_DISABLE_AUTHENTICATION |
                   WINHTTP_DISABLE_KEEP_ALIVE;
  const bool configured =
      http.SetOption(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &features, sizeof features) != FALSE;
  DWORD error = configured ? 0 : GetLastError();

  if (!error && !http.SendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0,
                                    context)) {
    error = GetLastError();
  }
  const auto sent = [&] { return transfer->delivery.state() == Delivery::Sent; };
  const auto failed = [&] { return transfer->error != 0; };
  if (!error) {
    // Connecting and sending, bounded.
    const DWORD waitError = WaitFor(*transfer, start + kSendTimeoutMs, [&] { return sent() || failed(); });
    if (!sent()) {
      if (failed()) {
        error = transfer->error.load();
      } else if (waitError) {
        error = waitError;
      } else {
        // Windows reports a closed port on this machine refused only after
        // its SYN retransmissions, about 2 s (Microsoft's TCP_INITIAL_RTO_PARAMETERS
        // page): no connection within the bound is the client not running.
        error = transfer->connected ? ERROR_WINHTTP_TIMEOUT : ERROR_WINHTTP_CANNOT_CONNECT;
      }
      // Closed, WinHTTP reports nothing more after HANDLE_CLOSING: a late
      // "sent" has come by then. A failed wait only ends this sooner.
      request.reset();
      (void)WaitFor(*transfer, GetTickCount() + kCloseTimeoutMs, [&] { return transfer->closing.load(); });
      if (sent()) error = 0;  // delivered after all
    }
  }
  if (!error && request) {
    // Delivered. The reply is awaited briefly and ignored: some WinHTTPs read
    // it before they report the send complete.
    const DWORD replyDeadline = GetTickCount() + kReplyTimeoutMs;
    (void)WaitFor(*transfer, replyDeadline, [&] { return transfer->sendCompleted.load() || failed(); });
    if (transfer->sendCompleted && !failed() && http.ReceiveResponse(request.get(), nullptr)) {
      (void)WaitFor(*transfer, replyDeadline, [&] { return transfer->headersAvailable.load() || failed(); });
    }
  }
  if (error) Fail(url, error, transfer->delivery.state());
}

}  // namespace kobex::win32
