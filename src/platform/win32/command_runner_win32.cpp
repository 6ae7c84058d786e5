#include <windows.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/command_runner.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace orv {
namespace {

using win32::UniqueHandle;

// Inheritable handles, for a child's standard handles only: StartChild
// names them in the child's handle list, so no other child gets them.
const SECURITY_ATTRIBUTES kInheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};

struct OutputPipe {
  UniqueHandle readEnd;   // ours
  UniqueHandle writeEnd;  // the child's standard output
};

bool OpenOutputPipe(OutputPipe& pipe) {
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  auto attributes = kInheritable;
  if (!CreatePipe(&readEnd, &writeEnd, &attributes, 0)) return false;
  pipe.readEnd.reset(readEnd);
  pipe.writeEnd.reset(writeEnd);
  return SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0) != 0;
}

// The null device: an empty standard input and a standard error that
// swallows everything.
UniqueHandle OpenNullDevice() {
  auto attributes = kInheritable;
  return UniqueHandle(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &attributes, OPEN_EXISTING, 0,
                                  nullptr));
}

// Starts `commandLine` through the executable search with a hidden window.
// The child inherits exactly `standardOutput` and `nullDevice`: a child that
// another thread starts at the same moment never holds our pipe open.
UniqueHandle StartChild(std::wstring commandLine, HANDLE standardOutput, HANDLE nullDevice) {
  HANDLE inherited[] = {standardOutput, nullDevice};
  SIZE_T listBytes = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &listBytes);
  std::vector<unsigned char> listStorage(listBytes);
  auto* list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(listStorage.data());
  if (!InitializeProcThreadAttributeList(list, 1, 0, &listBytes)) return {};

  UniqueHandle process;
  if (UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                sizeof inherited, nullptr, nullptr)) {
    STARTUPINFOEXW startup{};
    startup.StartupInfo.cb = sizeof startup;
    startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
    startup.StartupInfo.wShowWindow = SW_HIDE;
    startup.StartupInfo.hStdInput = nullDevice;
    startup.StartupInfo.hStdOutput = standardOutput;
    startup.StartupInfo.hStdError = nullDevice;
    startup.lpAttributeList = list;
    PROCESS_INFORMATION child{};
    if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                       NORMAL_PRIORITY_CLASS | EXTENDED_STARTUPINFO_PRESENT, nullptr, nullptr,
                       &startup.StartupInfo, &child)) {
      CloseHandle(child.hThread);
      process.reset(child.hProcess);
    }
  }
  DeleteProcThreadAttributeList(list);
  return process;
}

// Moves what is waiting in the pipe into `into` without blocking. False once
// the pipe is broken (every writer closed it) or a read failed.
bool DrainAvailable(HANDLE pipe, std::string& into) {
  char buffer[4096];
  for (;;) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) return false;
    if (waiting == 0) return true;
    DWORD got = 0;
    const DWORD piece = std::min<DWORD>(waiting, sizeof buffer);
    if (!ReadFile(pipe, buffer, piece, &got, nullptr) || got == 0) return false;
    into.append(buffer, got);
  }
}

}  // namespace

void RunCommand(const std::string& commandLine, std::string& output, int settleMs) {
  if (commandLine.size() > kMaxCommandLine) return;
  if (commandLine.find_first_not_of(" \t") == std::string::npos) return;
  // The W call: the child receives the line in the system's code page, as an
  // A call would, but a Chinese path in it survives whatever that page is.
  auto wideLine = win32::ToWideCString(commandLine);
  if (!wideLine) return;

  OutputPipe pipe;
  if (!OpenOutputPipe(pipe)) return;
  UniqueHandle nullDevice = OpenNullDevice();
  if (!nullDevice) return;
  const UniqueHandle process =
      StartChild(std::move(*wideLine), pipe.writeEnd.get(), nullDevice.get());
  // The child holds its own copies; ours would keep the pipe from breaking.
  pipe.writeEnd.reset();
  nullDevice.reset();
  if (!process) return;

  // Reading while waiting keeps a child with more output than the pipe holds
  // from stalling until the settle time is over.
  std::string gathered;
  bool open = true;
  bool exited = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(settleMs);
  while (!exited) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - std::chrono::steady_clock::now())
                          .count();
    if (left <= 0) break;
    const auto slice = static_cast<DWORD>(std::min<long long>(left, 5));
    exited = WaitForSingleObject(process.get(), slice) == WAIT_OBJECT_0;
    if (open) open = DrainAvailable(pipe.readEnd.get(), gathered);
  }
  if (open) DrainAvailable(pipe.readEnd.get(), gathered);
  // A child still running keeps running; Windows leaves nothing to reap.
  output = std::move(gathered);
}

}  // namespace orv
