#include "platform/win32/about_dialog.h"

#include <string>
#include <vector>

#include "platform/win32/picture.h"
#include "platform/win32/win32_error.h"
#include "platform/win32/work_area.h"
#include "resources/resource_ids.h"

namespace kobex::win32 {
namespace {

constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
static_assert(kAboutOkId == IDOK);

// An in-memory dialog template without controls: they are placed in pixels
// once the window exists, which a template's dialog units cannot express.
std::vector<WORD> EmptyTemplate(const std::string& caption) {
  std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(words.data());
  header->style = kDialogStyle;
  header->cdit = 0;
  header->cx = 160;
  header->cy = 140;
  words.push_back(0);  // no menu
  words.push_back(0);  // the standard dialog class
  for (char c : caption) words.push_back(static_cast<WORD>(static_cast<unsigned char>(c)));
  words.push_back(0);
  words.push_back(8);  // the host's default font: MS Shell Dlg, 8 points
  for (char c : std::string("MS Shell Dlg")) words.push_back(static_cast<WORD>(c));
  words.push_back(0);
  return words;
}

}  // namespace

void AboutDialog::ShowModal(const AboutWindow& design, AboutEvents& events) {
  struct Showing {
    AboutDialog& box;
    ~Showing() { box.Release(); }
  } showing{*this};
  logo_.reset(LoadJpegResource(instance_, IDR_ABOUT_LOGO));
  // Details: a box without its icons or background brush still shows.
  (void)LoadIcons();
  // Under High Contrast (Microsoft's HIGHCONTRAST page; Wine has none) the
  // system's window and text colours, else white with black words: both set,
  // never the system's text colour on our background. No answer: no High Contrast.
  HIGHCONTRASTA contrast{};
  contrast.cbSize = sizeof contrast;
  const bool high = SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                    (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
  background_ = high ? GetSysColor(COLOR_WINDOW) : RGB(255, 255, 255);
  text_ = high ? GetSysColor(COLOR_WINDOWTEXT) : RGB(0, 0, 0);
  brush_.reset(CreateSolidBrush(background_));
  texts_.clear();
  texts_.reserve(design.controls.size());
  for (const PlacedControl& c : design.controls) texts_.emplace_back(c.text);
  const std::vector<WORD> dialogTemplate = EmptyTemplate(std::string(design.caption));
  design_ = &design;
  events_ = &events;

  SetLastError(0);
  const INT_PTR result =
      DialogBoxIndirectParamA(instance_, reinterpret_cast<const DLGTEMPLATE*>(dialogTemplate.data()), nullptr,
                              DialogProc, reinterpret_cast<LPARAM>(this));
  if (result == -1) ThrowLastError("Cannot show the About box");
}

// The box's icons at the sizes the display asks for now.
bool AboutDialog::LoadIcons() noexcept {
  OwnedIcon large(LoadIconAt(instance_, IDI_ABOUT, SystemIconSize(IconSize::Large)));
  OwnedIcon small(LoadIconAt(instance_, IDI_ABOUT, SystemIconSize(IconSize::Small)));
  if (!large || !small) return false;
  icon_ = std::move(large);
  smallIcon_ = std::move(small);
  return true;
}

// Hands the box its icons; the window keeps using them until it gets others.
void AboutDialog::ShowIcons(HWND dialog) const noexcept {
  (void)SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_.get()));
  (void)SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
}

void AboutDialog::Release() noexcept {
  window_ = nullptr;
  design_ = nullptr;
  events_ = nullptr;
  texts_.clear();
  logo_.reset();
  icon_.reset();
  smallIcon_.reset();
  brush_.reset();
}

void AboutDialog::Close() {
  // Refused only for a window that is not a dialog, which ours always is.
  if (window_) (void)EndDialog(window_, IDOK);
}

void AboutDialog::Activate() {
  if (!window_) return;
  // A courtesy: where the system declines, the box stays where it was.
  if (IsIconic(window_)) (void)ShowWindow(window_, SW_RESTORE);
  (void)SetForegroundWindow(window_);
}

// Answers not examined: nothing may throw in the dialog procedure, and a failed
// step costs one detail of a box that Escape and its close box still close.
void AboutDialog::Build(HWND dialog) noexcept {
  window_ = dialog;
  ShowIcons(dialog);

  // The client area in pixels, the window centred on the monitor where the
  // user is: the pointer's, which chose About beside the icon (Microsoft's
  // MonitorFromPoint page; Wine here has one monitor).
  RECT frame{0, 0, design_->clientWidth, design_->clientHeight};
  AdjustWindowRectEx(&frame, GetWindowLongA(dialog, GWL_STYLE), FALSE, GetWindowLongA(dialog, GWL_EXSTYLE));
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  POINT pointer{};
  if (!GetCursorPos(&pointer)) pointer = POINT{0, 0};
  const RECT area = WorkAreaAt(pointer);
  SetWindowPos(dialog, nullptr, (area.left + area.right - width) / 2, (area.top + area.bottom - height) / 2, width,
               height, SWP_NOZORDER | SWP_NOACTIVATE);

  const auto font = static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0));
  HWND ok = nullptr;
  // Created in tab order, which is also Windows' tab order.
  for (std::size_t i = 0; i < design_->controls.size(); ++i) {
    const PlacedControl& c = design_->controls[i];
    const PixelRect& r = c.rect;
    const std::string& text = texts_[i];
    HWND control = nullptr;
    switch (c.kind) {
      case ControlKind::Image:
        control = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_BITMAP, r.left, r.top, r.width,
                                  r.height, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)),
                                  instance_, nullptr);
        if (control) SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo_.get()));
        break;
      case ControlKind::Label:
        control = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX,
                                  r.left, r.top, r.width, r.height, dialog,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
        break;
      case ControlKind::CommandButton:
        control = ok = CreateWindowExA(0, "BUTTON", text.c_str(),
                                       WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, r.left,
                                       r.top, r.width, r.height, dialog,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance_, nullptr);
        break;
    }
    if (control) SendMessageA(control, WM_SETFONT, font, FALSE);
  }
  SendMessageA(dialog, DM_SETDEFID, IDOK, 0);
  if (ok) SetFocus(ok);
  // Defence: a form unloaded before the box had a window would leave it open.
  if (!events_->IsLoaded()) (void)EndDialog(dialog, IDOK);

}

INT_PTR CALLBACK AboutDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    reinterpret_cast<AboutDialog*>(lParam)->Build(dialog);
    return FALSE;  // the focus is set: OK has it
  }
  auto* self = reinterpret_cast<AboutDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  if (!self) return FALSE;
  if (IsDisplayChange(message)) {
    // The old icons stay until the new ones are the window's: a failed load keeps them.
    OwnedIcon oldLarge(self->icon_.release());
    OwnedIcon oldSmall(self->smallIcon_.release());
    if (self->LoadIcons()) {
      self->ShowIcons(dialog);
    } else {
      self->icon_ = std::move(oldLarge);
      self->smallIcon_ = std::move(oldSmall);
    }
    return FALSE;
  }
  switch (message) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
      // Neither fails on the control's own device context.
      SetTextColor(reinterpret_cast<HDC>(wParam), self->text_);
      SetBkColor(reinterpret_cast<HDC>(wParam), self->background_);
      return reinterpret_cast<INT_PTR>(self->brush_.get());
    case WM_COMMAND:
      // OK, Enter and Space on it, Escape and the close box all mean OK.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        AboutEvents* events = self->events_;
        if (events) self->boundary_.RaiseEvent([events] { events->cmdOK_Click(); });
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace kobex::win32
