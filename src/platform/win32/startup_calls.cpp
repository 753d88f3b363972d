#include "platform/win32/startup_calls.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/handles.h"
#include "platform/win32/win32_error.h"

namespace kobex::win32 {

static_assert(sizeof(OSVERSIONINFOA) == kOsVersionInfoSize);

namespace {

// Whether `path` names a file, not a folder.
bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Whether cmd finds the script by its bare name: it looks in its working
// folder and then on PATH only, never beside the program that started it.
bool CmdFinds(const std::string& script) {
  if (IsFile(script)) return true;
  const DWORD size = GetEnvironmentVariableA("PATH", nullptr, 0);
  if (size == 0) return false;  // no PATH: nowhere more to look
  std::string path(size, '\0');
  const DWORD length = GetEnvironmentVariableA("PATH", path.data(), size);
  path.resize(length < size ? length : 0);
  for (std::size_t start = 0; start <= path.size();) {
    std::size_t end = path.find(';', start);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(start, end - start);
    if (folder.size() >= 2 && folder.front() == '"' && folder.back() == '"') {
      folder = folder.substr(1, folder.size() - 2);
    }
    if (!folder.empty() && IsFile(folder.append("\\").append(script))) return true;
    start = end + 1;
  }
  return false;
}

// The folder `module` lies in, with its backslash; empty when it cannot be read.
std::string FolderOf(HMODULE module) {
  char path[MAX_PATH + 1] = {};
  const DWORD length = GetModuleFileNameA(module, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};  // unread, or cut short
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of('\\') + 1);
}

// The system's own cmd.exe, by full path; empty when the system folder cannot be read.
std::string SystemCmd() {
  char folder[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return std::string(folder, length) + "\\cmd.exe";
}

void Start(const char* program, std::string line, const char* folder, const std::string& commandLine) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  PROCESS_INFORMATION process{};
  // No console at all: since Windows 11 22H2 a console program's window may be
  // Windows Terminal, which does not always honour SW_HIDE (CreateProcess's
  // "Process Creation Flags" page: CREATE_NO_WINDOW). CreateProcess may write into `line`.
  if (!CreateProcessA(program, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, folder, &startup,
                      &process)) {
    const DWORD error = GetLastError();
    ThrowWin32Error("Cannot start the messaging client with \"" + commandLine + "\"", error);
  }
  // Not waited for: the handles go at once.
  const OwnedHandle thread(process.hThread);
  const OwnedHandle started(process.hProcess);
}

}  // namespace

void StartHidden(const std::string& commandLine) {
  // CreateProcess finds a batch file beside kobex.exe first, but hands it to
  // cmd by its bare name, and cmd looks only in the working folder and on PATH
  // (CreateProcess's page: "To run a batch file, you must start the command
  // interpreter"). Started from elsewhere (a shortcut's wrong "Start in", a Run
  // key, a scheduled task in System32) the launch would succeed and cmd find
  // nothing: then the script beside kobex.exe is run, from there, by path.
  const std::size_t space = commandLine.find(' ');
  const std::string script = commandLine.substr(0, space);
  const std::string arguments = space == std::string::npos ? std::string() : commandLine.substr(space);
  const std::string folder = FolderOf(nullptr);
  const std::string cmd = SystemCmd();
  if (!CmdFinds(script) && !folder.empty() && !cmd.empty() && IsFile(folder + script)) {
    // The system folder's cmd.exe: neither %COMSPEC% nor a cmd.exe in the
    // working folder or beside kobex.exe chooses the interpreter. /d: no
    // AutoRun command first; /s: only the outer quotes go.
    Start(cmd.c_str(), "\"" + cmd + "\" /d /s /c \"\"" + folder + script + "\"" + arguments + "\"", folder.c_str(),
          commandLine);
    return;
  }
  // Found where cmd looks (the working folder or PATH, as always), or nowhere:
  // then CreateProcess says so, and the user reads why.
  Start(nullptr, commandLine, nullptr, commandLine);
}

bool QueryVersion(OsVersionRecord& record) {
  OSVERSIONINFOA info;
  std::memcpy(&info, record.data(), sizeof info);
  const BOOL ok = ::GetVersionExA(&info);
  std::memcpy(record.data(), &info, sizeof info);
  return ok != FALSE;
}

bool ClaimSession() {
  // A named mutex in the session's own namespace ("Local\\", as on XP with Fast
  // User Switching): each signed-in user, and each remote session, has its
  // launcher. The handle stays open until the process ends, when the system
  // closes it and the name goes with the last launcher; a launcher that finds
  // the name taken ends at once, and its handle goes the same way. Whatever
  // holds the name in the session (another program too) keeps later launchers
  // from adding an icon: a risk taken, as the session is the user's own.
  static constexpr char kName[] = "Local\\Veltrano.Corvane.kobex";
  const HANDLE mutex = CreateMutexA(nullptr, FALSE, kName);
  const DWORD error = GetLastError();
  if (mutex != nullptr) return error != ERROR_ALREADY_EXISTS;
  // Refused: a launcher started with other rights (Run as administrator)
  // holds a name this one may not open (Windows' rule for objects an elevated
  // process makes; not tried under Wine), and it is the session's launcher all
  // the same. Any other refusal (the name taken by an object of another kind)
  // leaves the question open: one icon is a courtesy, and a launcher that
  // cannot ask still gives the user its icon rather than nothing to click.
  return error != ERROR_ACCESS_DENIED;
}

void ShowMessage(const std::string& text, MsgBoxIcon icon) {
  UINT style = MB_OK | MB_TASKMODAL | MB_SETFOREGROUND;
  if (icon == MsgBoxIcon::Critical) style |= MB_ICONERROR;
  // The answer (0 when no box could be shown) is not examined: the message is
  // itself how the program reports, and what follows it is the same either way.
  (void)MessageBoxA(nullptr, text.c_str(), kAppTitle, style);
}

void EndNow(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }

}  // namespace kobex::win32
