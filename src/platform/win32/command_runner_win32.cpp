#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <utility>
#include <vector>

#include "platform/command_runner.h"
#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace orv {
namespace {

using win32::UniqueHandle;
using Clock = std::chrono::steady_clock;

// How long stop() waits for a terminated child to be gone (one stuck in a
// driver call may take longer; its handle is closed and Windows keeps nothing).
constexpr DWORD kTerminateWaitMs = 200;

// Inheritable handles, for a child's standard handles only: StartChild
// names them in the child's handle list, so no other child gets them.
const SECURITY_ATTRIBUTES kInheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};

struct Pipe {
  UniqueHandle readEnd;   // ours
  UniqueHandle writeEnd;  // the child's
};

bool OpenPipe(Pipe& pipe) {
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  auto attributes = kInheritable;
  if (!CreatePipe(&readEnd, &writeEnd, &attributes, 0)) return false;
  pipe.readEnd.reset(readEnd);
  pipe.writeEnd.reset(writeEnd);
  return SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0) != 0;
}

// The null device: an empty standard input.
UniqueHandle OpenNullInput() {
  auto attributes = kInheritable;
  return UniqueHandle(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &attributes, OPEN_EXISTING, 0, nullptr));
}

// One argument quoted so that the child's CommandLineToArgvW (or C runtime)
// reads it back unchanged: backslashes are literal except before a quote.
std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    if (c == L'"') backslashes = backslashes * 2 + 1;
    quoted.append(backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

bool IsExecutableFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// `name` as an existing file, trying the extensions Windows runs directly.
std::wstring WithExtension(const std::wstring& name) {
  if (IsExecutableFile(name)) return name;
  for (const wchar_t* extension : {L".exe", L".com"}) {
    if (IsExecutableFile(name + extension)) return name + extension;
  }
  return {};
}

std::wstring FindProgramWide(const std::wstring& program) {
  if (program.find_first_of(L"\\/:") != std::wstring::npos) return WithExtension(program);
  const wchar_t* path = _wgetenv(L"PATH");
  if (path == nullptr) return {};
  const std::wstring folders = path;
  std::size_t begin = 0;
  while (begin <= folders.size()) {
    std::size_t end = folders.find(L';', begin);
    if (end == std::wstring::npos) end = folders.size();
    std::wstring folder = folders.substr(begin, end - begin);
    folder.erase(std::remove(folder.begin(), folder.end(), L'"'), folder.end());
    if (!folder.empty()) {
      if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
      if (std::wstring found = WithExtension(folder + program); !found.empty()) return found;
    }
    begin = end + 1;
  }
  return {};
}

// Starts `commandLine` for `program` with a hidden window. The child
// inherits exactly the three handles named: a child that another thread
// starts at the same moment never holds our pipes open.
UniqueHandle StartChild(const std::wstring& program, std::wstring commandLine, HANDLE input,
                        HANDLE output, HANDLE errors) {
  HANDLE inherited[] = {input, output, errors};
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
    startup.StartupInfo.hStdInput = input;
    startup.StartupInfo.hStdOutput = output;
    startup.StartupInfo.hStdError = errors;
    startup.lpAttributeList = list;
    PROCESS_INFORMATION child{};
    if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                       NORMAL_PRIORITY_CLASS | CREATE_NO_WINDOW | EXTENDED_STARTUPINFO_PRESENT,
                       nullptr, nullptr, &startup.StartupInfo, &child)) {
      CloseHandle(child.hThread);
      process.reset(child.hProcess);
    }
  }
  DeleteProcThreadAttributeList(list);
  return process;
}

// Moves what waits in `pipe` into `into` without blocking; closes `pipe`
// once it is broken (every writer closed it) or a read failed.
void DrainAvailable(UniqueHandle& pipe, std::string& into) {
  char buffer[65536];
  while (pipe) {
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe.get(), nullptr, 0, nullptr, &waiting, nullptr)) {
      pipe.reset();
      return;
    }
    if (waiting == 0) return;
    DWORD got = 0;
    const DWORD piece = std::min<DWORD>(waiting, sizeof buffer);
    if (!ReadFile(pipe.get(), buffer, piece, &got, nullptr) || got == 0) {
      pipe.reset();
      return;
    }
    into.append(buffer, got);
  }
}

}  // namespace

std::string FindProgram(std::string_view program) {
  const auto wide = win32::ToWideCString(program);
  if (!wide || wide->empty()) return {};
  const auto found = win32::FromWide(CP_UTF8, FindProgramWide(*wide));
  return found ? *found : std::string();
}

struct ChildProcess::Impl {
  UniqueHandle process;
  UniqueHandle out;
  UniqueHandle err;
  bool started = false;
  bool exited = false;
  bool stoppedByUs = false;
  int exitStatus = -1;
  long long pid = 0;
  std::string startError;
  std::string gatheredOut;
  std::string gatheredErr;

  void drain() {
    DrainAvailable(out, gatheredOut);
    DrainAvailable(err, gatheredErr);
  }
  void noteExit(DWORD waitMs) {
    if (!process || exited) return;
    if (WaitForSingleObject(process.get(), waitMs) != WAIT_OBJECT_0) return;
    exited = true;
    DWORD code = 0;
    if (GetExitCodeProcess(process.get(), &code)) exitStatus = static_cast<int>(code);
  }
  bool finished() const { return exited && !out && !err; }
};

ChildProcess::ChildProcess() : impl_(std::make_unique<Impl>()) {}
ChildProcess::~ChildProcess() {
  if (impl_) stop();
}
ChildProcess::ChildProcess(ChildProcess&&) noexcept = default;
ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept {
  if (this != &other) {
    if (impl_) stop();
    impl_ = std::move(other.impl_);
  }
  return *this;
}

bool ChildProcess::start(const std::vector<std::string>& argv) {
  Impl& self = *impl_;
  if (self.started || !self.startError.empty()) {
    self.startError = "a child was already started";
    return false;
  }
  self.startError = ArgumentProblem(argv);
  if (!self.startError.empty()) return false;
  std::wstring commandLine;
  for (const auto& argument : argv) {
    const auto wide = win32::ToWideCString(argument);
    if (!wide) {
      self.startError = "an argument is not valid UTF-8";
      return false;
    }
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += QuoteArgument(*wide);
  }
  const std::wstring program = FindProgramWide(*win32::ToWideCString(argv[0]));
  if (program.empty()) {
    self.startError = std::string(kProgramNotFound) + argv[0];
    return false;
  }
  Pipe out;
  Pipe err;
  UniqueHandle input = OpenNullInput();
  if (!OpenPipe(out) || !OpenPipe(err) || !input) {
    self.startError = "no pipe for the child";
    return false;
  }
  UniqueHandle process = StartChild(program, std::move(commandLine), input.get(),
                                    out.writeEnd.get(), err.writeEnd.get());
  if (!process) {
    self.startError = "cannot start " + argv[0] + " (error " + std::to_string(GetLastError()) + ")";
    return false;
  }
  self.started = true;
  self.pid = GetProcessId(process.get());
  self.process = std::move(process);
  self.out = std::move(out.readEnd);
  self.err = std::move(err.readEnd);
  return true;
}

const std::string& ChildProcess::startError() const { return impl_->startError; }

bool ChildProcess::poll() {
  Impl& self = *impl_;
  if (!self.process) return false;
  self.drain();
  self.noteExit(0);
  if (self.finished()) self.process.reset();
  return static_cast<bool>(self.process);
}

std::string ChildProcess::takeOut() { return std::exchange(impl_->gatheredOut, {}); }
std::string ChildProcess::takeErr() { return std::exchange(impl_->gatheredErr, {}); }

bool ChildProcess::waitFor(std::chrono::milliseconds limit) {
  Impl& self = *impl_;
  if (!self.started) return false;
  const auto deadline = Clock::now() + limit;
  DWORD slice = 1;
  while (self.process) {
    self.drain();
    self.noteExit(0);
    if (self.finished()) {
      self.process.reset();
      break;
    }
    // Rounded up, so the limit is never cut short by a fraction of a millisecond.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    // Windows pipes cannot be waited on together with the process: short
    // slices on the process handle, growing while nothing happens.
    self.noteExit(static_cast<DWORD>(std::min<long long>(left, slice)));
    slice = std::min<DWORD>(slice * 2, 10);
  }
  return true;
}

void ChildProcess::stop() {
  Impl& self = *impl_;
  if (!self.process) return;
  self.drain();
  self.noteExit(0);
  if (!self.exited) {
    TerminateProcess(self.process.get(), 1);
    self.stoppedByUs = true;
    self.noteExit(kTerminateWaitMs);
  }
  self.drain();
  self.out.reset();
  self.err.reset();
  self.process.reset();
}

bool ChildProcess::running() const { return impl_ && static_cast<bool>(impl_->process); }
int ChildProcess::exitStatus() const { return impl_->exitStatus; }
bool ChildProcess::stoppedByUs() const { return impl_->stoppedByUs; }
long long ChildProcess::processId() const { return impl_->pid; }

}  // namespace orv
