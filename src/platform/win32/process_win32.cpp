// Win32 programs: CreateProcessW with overlapped named pipes (so one thread
// drains both streams and waits on the process), ShellExecuteExW for documents.
#include <windows.h>
#include <shellapi.h>

#include <atomic>

#include "platform/os_error.h"
#include "platform/process.h"
#include "platform/win32/wide.h"

namespace orv::proc {

using win::widen;

namespace {

// After the end, pipes are read until they close; one held open by a program's
// own child is given up after this long without data, or this long in all.
constexpr ULONGLONG kIdleGraceMs = 150;
constexpr ULONGLONG kTotalGraceMs = 2000;

// One overlapped reader of a pipe's server end.
struct PipeReader {
  HANDLE pipe = INVALID_HANDLE_VALUE;
  HANDLE event = nullptr;
  OVERLAPPED ov{};
  bool pending = false;
  char buf[65536];

  bool open() const { return pipe != INVALID_HANDLE_VALUE; }

  void close() {
    if (pending) {
      CancelIoEx(pipe, &ov);
      DWORD n = 0;
      GetOverlappedResult(pipe, &ov, &n, TRUE);
      pending = false;
    }
    if (open()) CloseHandle(pipe);
    if (event) CloseHandle(event);
    pipe = INVALID_HANDLE_VALUE;
    event = nullptr;
  }

  // Starts reads until one is pending; appends what completes at once.
  // Returns true when data arrived.
  bool arm(std::string& into) {
    bool data = false;
    while (open() && !pending) {
      ResetEvent(event);
      ov = OVERLAPPED{};
      ov.hEvent = event;
      DWORD n = 0;
      if (ReadFile(pipe, buf, sizeof buf, &n, &ov)) {
        into.append(buf, n);
        data |= n > 0;
      } else if (GetLastError() == ERROR_IO_PENDING) {
        pending = true;
      } else {
        close();  // broken pipe: every writer is gone
      }
    }
    return data;
  }

  // Completes a pending read whose event is set.
  bool complete(std::string& into) {
    DWORD n = 0;
    pending = false;
    if (!GetOverlappedResult(pipe, &ov, &n, FALSE)) {
      close();
      return false;
    }
    into.append(buf, n);
    return arm(into) || n > 0;
  }
};

// A named pipe whose server end (ours) reads overlapped; the client end is
// inheritable, for the child.
bool makePipe(PipeReader& reader, HANDLE& client) {
  static std::atomic<unsigned> serial{0};
  std::wstring name =
      L"\\\\.\\pipe\\orvantis-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial);
  reader.pipe = CreateNamedPipeW(name.c_str(),
                                 PIPE_ACCESS_INBOUND | FILE_FLAG_OVERLAPPED | FILE_FLAG_FIRST_PIPE_INSTANCE,
                                 PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0, nullptr);
  if (!reader.open()) return false;
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  client = CreateFileW(name.c_str(), GENERIC_WRITE, 0, &sa, OPEN_EXISTING, 0, nullptr);
  reader.event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return client != INVALID_HANDLE_VALUE && reader.event;
}

HANDLE nullDevice(DWORD access) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0, nullptr);
}

void closeHandle(HANDLE& h) {
  if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  h = nullptr;
}

}  // namespace

struct ChildProcess::Impl {
  HANDLE process = nullptr;
  DWORD pid = 0;
  bool ended = false;
  DWORD code = 0;
  PipeReader out, err;
  std::string output, errors;

  ~Impl() {
    out.close();
    err.close();
    closeHandle(process);
  }

  // One wait round of at most timeoutMs; true when output arrived.
  bool pump(DWORD timeoutMs) {
    bool data = out.arm(output) | err.arm(errors);
    if (data) timeoutMs = 0;
    HANDLE handles[3];
    PipeReader* readers[3] = {nullptr, nullptr, nullptr};
    DWORD n = 0;
    if (!ended && process) handles[n++] = process;
    if (out.pending) readers[n] = &out, handles[n++] = out.event;
    if (err.pending) readers[n] = &err, handles[n++] = err.event;
    if (n == 0) {
      ended = true;
      return data;
    }
    DWORD r = WaitForMultipleObjects(n, handles, FALSE, timeoutMs);
    if (r >= WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + n) {
      DWORD i = r - WAIT_OBJECT_0;
      if (readers[i])
        data |= readers[i]->complete(readers[i] == &out ? output : errors);
      else
        ended = true;
    }
    if (!ended && process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) ended = true;
    return data;
  }

  void collectRest() {
    ULONGLONG start = GetTickCount64(), lastData = start;
    while (out.open() || err.open()) {
      ULONGLONG now = GetTickCount64();
      if (now - lastData >= kIdleGraceMs || now - start >= kTotalGraceMs) break;
      if (pump(static_cast<DWORD>(kIdleGraceMs - (now - lastData)))) lastData = GetTickCount64();
    }
    out.close();
    err.close();
    if (process) GetExitCodeProcess(process, &code);
  }
};

ChildProcess::ChildProcess(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
ChildProcess::~ChildProcess() = default;

int64_t ChildProcess::pid() const { return impl_->pid; }

bool ChildProcess::waitForExit(int64_t limitMs) {
  // A negative limit counts as already reached.
  ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(limitMs > 0 ? limitMs : 0);
  while (!impl_->ended) {
    DWORD timeout = INFINITE;
    if (limitMs != 0) {
      ULONGLONG now = GetTickCount64();
      if (now >= deadline) return false;
      ULONGLONG left = deadline - now;
      timeout = static_cast<DWORD>(left > 0x7FFFFFFF ? 0x7FFFFFFF : left);
    }
    impl_->pump(timeout);
  }
  impl_->collectRest();
  return true;
}

void ChildProcess::terminate() {
  if (impl_->process && !impl_->ended) {
    TerminateProcess(impl_->process, 1);
    WaitForSingleObject(impl_->process, 5000);
  }
  impl_->ended = true;
  impl_->collectRest();
}

int64_t ChildProcess::exitCode() const { return static_cast<int32_t>(impl_->code); }

const std::string& ChildProcess::output() const { return impl_->output; }
const std::string& ChildProcess::errors() const { return impl_->errors; }
std::string ChildProcess::takeOutput() { return std::move(impl_->output); }

namespace {

// Standard handles for the child: pipes, the null device, or none.
struct ChildHandles {
  HANDLE in = nullptr, out = nullptr, err = nullptr;
  ~ChildHandles() {
    closeHandle(in);
    closeHandle(out);
    closeHandle(err);
  }
};

bool prepareHandles(const StartOptions& o, ChildProcess::Impl& impl, ChildHandles& h) {
  if (!o.capture && !o.discardOutput) return true;
  h.in = nullDevice(GENERIC_READ);
  if (o.capture) return makePipe(impl.out, h.out) && makePipe(impl.err, h.err);
  h.out = nullDevice(GENERIC_WRITE);
  h.err = nullDevice(GENERIC_WRITE);
  return h.out != INVALID_HANDLE_VALUE && h.err != INVALID_HANDLE_VALUE;
}

// A relative program path names a file in our folder, not in the child's
// working folder (a batch file would otherwise be looked up there).
std::wstring fullPath(const std::string& program) {
  std::wstring w = widen(program);
  DWORD n = GetFullPathNameW(w.c_str(), 0, nullptr, nullptr);
  if (n == 0) return w;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(w.c_str(), n, full.data(), nullptr);
  full.resize(n);
  return full;
}

bool createProcess(const std::string& program, const std::string& parameters, const std::string& dir,
                   const StartOptions& o, ChildHandles& h, ChildProcess::Impl& impl) {
  std::wstring app = fullPath(program);
  std::wstring cmd = L"\"" + app + L"\"";
  if (!parameters.empty()) cmd += L" " + widen(parameters);
  std::wstring wdir = widen(dir);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  bool redirect = o.capture || o.discardOutput;
  if (redirect) {
    si.dwFlags |= STARTF_USESTDHANDLES;
    si.hStdInput = h.in;
    si.hStdOutput = h.out;
    si.hStdError = h.err;
  }
  if (o.hidden) {
    si.dwFlags |= STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_HIDE;
  }
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(app.c_str(), cmd.data(), nullptr, nullptr, redirect ? TRUE : FALSE, 0, nullptr,
                      wdir.empty() ? nullptr : wdir.c_str(), &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  impl.process = pi.hProcess;
  impl.pid = pi.dwProcessId;
  return true;
}

// A document (or anything CreateProcessW refuses) opened through the shell.
bool shellOpen(const std::string& program, const std::string& parameters, const std::string& dir,
               const StartOptions& o, ChildProcess::Impl& impl) {
  std::wstring file = widen(program), params = widen(parameters), wdir = widen(dir);
  SHELLEXECUTEINFOW sei{};
  sei.cbSize = sizeof sei;
  sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  sei.lpFile = file.c_str();
  sei.lpParameters = params.empty() ? nullptr : params.c_str();
  sei.lpDirectory = wdir.empty() ? nullptr : wdir.c_str();
  sei.nShow = o.hidden ? SW_HIDE : SW_SHOWNORMAL;
  if (!ShellExecuteExW(&sei)) return false;
  impl.process = sei.hProcess;  // none when an already running program took the document
  impl.pid = sei.hProcess ? GetProcessId(sei.hProcess) : 0;
  impl.ended = sei.hProcess == nullptr;
  return true;
}

}  // namespace

std::unique_ptr<ChildProcess> startProcess(const std::string& program, const std::string& parameters,
                                           const std::string& workingDir, const StartOptions& options,
                                           int64_t& error) {
  auto impl = std::make_unique<ChildProcess::Impl>();
  bool started = false;
  {
    ChildHandles handles;
    if (prepareHandles(options, *impl, handles))
      started = createProcess(program, parameters, workingDir, options, handles, *impl);
    error = started ? 0 : static_cast<int64_t>(GetLastError());
  }
  const char* call = "CreateProcessW";
  if (!started && !options.capture && !options.discardOutput) {
    started = shellOpen(program, parameters, workingDir, options, *impl);
    if (!started) error = static_cast<int64_t>(GetLastError()), call = "ShellExecuteExW";
  }
  if (!started) {
    sys::recordOsError(call, error, program);
    return nullptr;
  }
  error = 0;
  return std::make_unique<ChildProcess>(std::move(impl));
}

}  // namespace orv::proc
