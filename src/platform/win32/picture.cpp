#include "platform/win32/picture.h"

#include <ole2.h>
#include <olectl.h>

#include <cstring>
#include <string>

#include "platform/error.h"
#include "platform/win32/system_message.h"

namespace kobex::win32 {
namespace {

[[noreturn]] void Fail(const std::string& what, HRESULT result) {
  throw Error(static_cast<std::int32_t>(result), "Cannot load the About logo: " + what + " (" +
                                                     SystemMessage(static_cast<DWORD>(result)) + ")");
}

// Every reference taken here is released on the way out, also on an error.
struct ComScope {
  HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ~ComScope() {
    if (SUCCEEDED(result)) CoUninitialize();
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
  if (!bytes || size == 0) Fail("no picture in the program", HRESULT_FROM_WIN32(GetLastError()));

  ComScope com;
  if (FAILED(com.result)) Fail("COM", com.result);

  // OleLoadPicture reads from a stream; the stream owns this copy and frees it.
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) Fail("out of memory", E_OUTOFMEMORY);
  std::memcpy(GlobalLock(copy), bytes, size);
  GlobalUnlock(copy);
  Releaser<IStream> stream;
  HRESULT result = CreateStreamOnHGlobal(copy, TRUE, &stream.p);
  if (FAILED(result)) {
    GlobalFree(copy);
    Fail("stream", result);
  }
  Releaser<IPicture> picture;
  result = OleLoadPicture(stream.p, static_cast<LONG>(size), FALSE, IID_IPicture,
                          reinterpret_cast<void**>(&picture.p));
  if (FAILED(result)) Fail("JPEG decoding", result);
  OLE_HANDLE handle = 0;
  result = picture.p->get_Handle(&handle);
  if (FAILED(result) || !handle) Fail("picture handle", FAILED(result) ? result : E_FAIL);

  // The picture owns its bitmap; keep a copy that outlives it.
  auto bitmap = static_cast<HBITMAP>(CopyImage(reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle)),
                                               IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) Fail("copy", HRESULT_FROM_WIN32(GetLastError()));
  return bitmap;
}

}  // namespace kobex::win32
