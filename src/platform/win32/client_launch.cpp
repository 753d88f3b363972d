#include "platform/win32/client_launch.h"

#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_error.h"

namespace kobex::win32 {

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

}  // namespace kobex::win32
