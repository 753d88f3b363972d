#include "platform/win32/picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <string>

#include "platform/win32/system_library.h"
#include "platform/win32/win32_error.h"

namespace kobex::win32 {
namespace {

constexpr char kCannotLoad[] = "Cannot load the About logo: ";

[[noreturn]] void Fail(const std::string& what, HRESULT result) { ThrowComError(kCannotLoad + what, result); }
[[noreturn]] void FailLast(const char* what) {
  const DWORD code = GetLastError();  // before the text is put together
  ThrowWin32Error(kCannotLoad + std::string(what), code);
}

// COM and its picture decoder, loaded from the system folder when the logo is
// first shown: nothing else needs them, and the start-up does not wait for them.
struct OleApi {
  decltype(&::CoInitializeEx) CoInitializeEx = nullptr;
  decltype(&::CoUninitialize) CoUninitialize = nullptr;
  decltype(&::CreateStreamOnHGlobal) CreateStreamOnHGlobal = nullptr;
  decltype(&::OleLoadPicture) OleLoadPicture = nullptr;
  DWORD error = 0;  // why they could not be loaded whole: a DLL's load failed, or an export is missing
};

const OleApi& Ole() {
  static const OleApi api = [] {
    OleApi a;
    const HMODULE com = LoadSystemLibrary("ole32.dll");
    if (!com) a.error = GetLastError();
    const HMODULE automation = LoadSystemLibrary("oleaut32.dll");
    if (!automation && !a.error) a.error = GetLastError();
    Bind(com, a.CoInitializeEx, "CoInitializeEx");
    Bind(com, a.CoUninitialize, "CoUninitialize");
    Bind(com, a.CreateStreamOnHGlobal, "CreateStreamOnHGlobal");
    Bind(automation, a.OleLoadPicture, "OleLoadPicture");
    if (!a.error && (!a.CoInitializeEx || !a.CoUninitialize || !a.CreateStreamOnHGlobal || !a.OleLoadPicture)) {
      a.error = ERROR_PROC_NOT_FOUND;
    }
    return a;
  }();
  if (api.error) {
    ThrowWin32Error(kCannotLoad + std::string("the system's picture decoder is not available"), api.error);
  }
  return api;
}

struct ComScope {
  const OleApi& ole;
  HRESULT result = ole.CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComScope() {
    if (SUCCEEDED(result)) ole.CoUninitialize();  // returns nothing
  }
};

// Memory that is freed on the way out unless a stream has taken it over.
struct GlobalMemory {
  HGLOBAL handle;
  ~GlobalMemory() {
    // Memory this program allocated and holds frees without fail.
    if (handle) (void)GlobalFree(handle);
  }
};

template <class T>
struct Releaser {
  T* p = nullptr;
  ~Releaser() {
    if (p) p->Release();
  }
};

}  // namespace

HBITMAP LoadJpegResource(HINSTANCE instance, int id) {
  HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
  HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = found ? SizeofResource(instance, found) : 0;
  if (!bytes || size == 0) FailLast("no picture in the program");

  const OleApi& ole = Ole();
  ComScope com{ole};
  if (FAILED(com.result)) Fail("COM", com.result);

  // OleLoadPicture reads from a stream; the stream owns this copy and frees it.
  GlobalMemory copy{GlobalAlloc(GMEM_MOVEABLE, size)};
  if (!copy.handle) FailLast("out of memory");
  void* target = GlobalLock(copy.handle);
  if (!target) FailLast("out of memory");
  std::memcpy(target, bytes, size);
  (void)GlobalUnlock(copy.handle);  // its answer is the lock count left, not success
  Releaser<IStream> stream;
  HRESULT result = ole.CreateStreamOnHGlobal(copy.handle, TRUE, &stream.p);
  if (FAILED(result)) Fail("stream", result);
  copy.handle = nullptr;  // the stream's now
  Releaser<IPicture> picture;
  result = ole.OleLoadPicture(stream.p, static_cast<LONG>(size), FALSE, IID_IPicture,
                          reinterpret_cast<void**>(&picture.p));
  if (FAILED(result)) Fail("JPEG decoding", result);
  OLE_HANDLE handle = 0;
  result = picture.p->get_Handle(&handle);
  if (FAILED(result) || !handle) Fail("picture handle", FAILED(result) ? result : E_FAIL);

  // The picture owns its bitmap; keep a copy that outlives it.
  auto* bitmap = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) FailLast("copy");
  return bitmap;
}

SIZE SystemIconSize(IconSize size) {
  return size == IconSize::Large ? SIZE{GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)}
                                 : SIZE{GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON)};
}

HICON LoadIconAt(HINSTANCE instance, int id, SIZE size) {
  return static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size.cx, size.cy, LR_DEFAULTCOLOR));
}

}  // namespace kobex::win32
