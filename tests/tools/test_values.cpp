// Writes the program's own values, as its headers define them, as shell
// assignments for the end-to-end tests: test_values FILE
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

#include "about/frm_about.h"
#include "kobex_version.h"
#include "control/client_commands.h"
#include "control/delivery.h"
#include "platform/about_host.h"
#include "platform/form_events.h"
#include "tray/frm_corvane.h"
#include "tray/notify_icon.h"

namespace {

// Single-quoted for the shell: a quote inside closes the quoting, is escaped, and opens it again.
std::string Quoted(std::string_view text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

}  // namespace

int main(int argc, char** argv) {
  std::ofstream out(argc == 2 ? argv[1] : "");
  out << "# The program's own values, written at build time by tests/tools/test_values.cpp.\n"
      << "KOBEX_WINDOW_TITLE=" << Quoted(kobex::kMainWindowCaption) << '\n'
      << "KOBEX_MESSAGE_TITLE=" << Quoted(kobex::kAppTitle) << '\n'
      << "KOBEX_ABOUT_TITLE=" << Quoted(kobex::kAboutCaption) << '\n'
      << "KOBEX_LAUNCH_COMMAND=" << Quoted(kobex::kLaunchCommand) << '\n'
      << "KOBEX_REFUSAL_TEXT=" << Quoted(kobex::kRefusalMessage) << '\n'
      << "KOBEX_CLIENT_HOST=" << Quoted(kobex::kClientHost) << '\n'
      << "KOBEX_CLIENT_PORT=" << kobex::kClientPort << '\n'
      << "KOBEX_VERSION_DOTTED=" << Quoted(KOBEX_VERSION_DOTTED) << '\n'
      << "KOBEX_VERSION_TEXT=" << Quoted(KOBEX_VERSION_TEXT) << '\n'
      << "KOBEX_SEND_TIMEOUT_MS=" << kobex::kSendTimeoutMs << '\n'
      // No request holds its caller longer than its three time-outs together.
      << "KOBEX_REQUEST_BOUND_MS=" << kobex::kSendTimeoutMs + kobex::kReplyTimeoutMs + kobex::kCloseTimeoutMs << '\n'
      << "KOBEX_REFUSED_REASON=" << Quoted(kobex::DeliveryReason(kobex::DeliveryStop::Refused, 0, "")) << '\n'
      << "KOBEX_NIM_ADD=" << kobex::NIM_ADD << "\nKOBEX_NIM_DELETE=" << kobex::NIM_DELETE << '\n'
      << "KOBEX_REQUEST_PATHS=(";
  for (const kobex::CommandRow& row : kobex::kCommandTable) out << ' ' << Quoted(row.path);
  // The About box as winprobe lists it at 96 DPI (15 twips a pixel), a control a line in creation order:
  // "ID CLASS x y w h TEXT". The Win32 host makes the image (with no text) and the labels STATIC.
  const kobex::AboutWindow about = kobex::AboutInPixels(15, 15);
  std::string controls;
  for (const kobex::PlacedControl& c : about.controls) {
    const kobex::PixelRect& r = c.rect;
    controls += (controls.empty() ? "" : "\n") + std::to_string(c.id) +
                (c.kind == kobex::ControlKind::CommandButton ? " Button " : " Static ") + std::to_string(r.left) + ' ' +
                std::to_string(r.top) + ' ' + std::to_string(r.width) + ' ' + std::to_string(r.height) + ' ' +
                std::string(c.kind == kobex::ControlKind::Image ? "" : c.text);
  }
  out << " )\nKOBEX_ABOUT_CLIENT='" << about.clientWidth << ' ' << about.clientHeight
      << "'\nKOBEX_ABOUT_CONTROLS=" << Quoted(controls) << '\n';
  out.close();
  if (!out) std::cerr << "usage: test_values FILE, a file it can write\n";
  return out ? 0 : 2;
}
