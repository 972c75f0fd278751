#include "platform/win32/win_files.h"

#include "platform/win32/win_api.h"

#include <algorithm>
#include <string>

#include "platform/win32/scoped_win.h"
#include "platform/win32/trace.h"
#include "platform/win32/win_error.h"

namespace velmox::win32 {
namespace {

ScopedFile OpenFile(const std::string& path, DWORD access, DWORD disposition) {
  ScopedFile file(CreateFileA(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) ThrowLastError();
  return file;
}

void WriteAll(HANDLE file, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, text.data() + done, chunk, &written, nullptr)) ThrowLastError();
    done += written;
  }
}

// A new file beside `path` for a whole-file write, created exclusively (CREATE_NEW) so that a file
// or link already there is never followed, reused or removed: ".new", else ".new1", ".new2" ...
ScopedFile CreateTemporary(const std::string& path, std::string& name) {
  for (int i = 0; i < 100; ++i) {
    name = path + ".new" + (i == 0 ? "" : std::to_string(i));
    ScopedFile file(CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.Valid()) return file;
    const DWORD error = GetLastError();
    // A folder of that name answers "access denied".
    const bool taken = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ||
                       (error == ERROR_ACCESS_DENIED &&
                        GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES);
    if (!taken) ThrowError(static_cast<long>(error));
  }
  ThrowError(ERROR_FILE_EXISTS);
}

}  // namespace

void WinFiles::Rename(const std::string& from, const std::string& to) {
  // MoveFileA never replaces an existing target, which is what the renames at start rely on.
  if (!MoveFileA(from.c_str(), to.c_str())) ThrowLastError();
  Trace("Rename " + TracedPath(from) + " -> " + TracedPath(to));
}

std::int64_t WinFiles::FileLength(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) ThrowLastError();
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string WinFiles::ReadText(const std::string& path) {
  ScopedFile file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
  std::string text;
  char buffer[64 * 1024];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr)) ThrowLastError();
    if (got == 0) return text;
    text.append(buffer, got);
  }
}

void WinFiles::WriteText(const std::string& path, const std::string& text) {
  ScopedFile file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
  WriteAll(file.Get(), text);
  Trace("WriteText " + TracedPath(path));
}

void WinFiles::WriteTextAtomically(const std::string& path, const std::string& text) {
  std::string beside;
  ScopedFile file = CreateTemporary(path, beside);
  try {
    WriteAll(file.Get(), text);
    if (!FlushFileBuffers(file.Get())) ThrowLastError();
    file.Reset();
    if (!MoveFileExA(beside.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      ThrowLastError();
    }
  } catch (...) {
    file.Reset();
    DeleteFileA(beside.c_str());
    throw;
  }
  Trace("WriteTextAtomically " + TracedPath(path));
}

void WinFiles::ReportKept(const std::string& message) {
  Trace(message);
  HANDLE log = RegisterEventSourceA(nullptr, "Velmox");
  if (log == nullptr) return;
  const char* strings[] = {message.c_str()};
  ReportEventA(log, EVENTLOG_WARNING_TYPE, 0, 1, nullptr, 1, 0, strings, nullptr);
  DeregisterEventSource(log);
}

}  // namespace velmox::win32
