#include "platform/win32/starter/starter_instance.h"

#include "platform/win32/win_error.h"

namespace velmox::win32 {
namespace {

constexpr char kRunningMutex[] = "Local\\Velmox.Starter";
constexpr char kProcessId[] = "Local\\Velmox.Starter.Process";
constexpr char kStopEvent[] = "Local\\Velmox.Starter.Stop";
constexpr DWORD kLongestStopWaitMs = 10000;

// A small piece of named memory holding this process's id, for as long as the handle is open.
ScopedHandle PublishProcessId() {
  ScopedHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                          sizeof(DWORD), kProcessId));
  if (!mapping.Valid()) ThrowLastError();
  void* view = MapViewOfFile(mapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(DWORD));
  if (!view) ThrowLastError();
  *static_cast<DWORD*>(view) = GetCurrentProcessId();
  UnmapViewOfFile(view);
  return mapping;
}

// The running starter's process, or no handle when its id cannot be read.
ScopedHandle OpenRunningProcess() {
  ScopedHandle mapping(OpenFileMappingA(FILE_MAP_READ, FALSE, kProcessId));
  if (!mapping.Valid()) return {};
  const void* view = MapViewOfFile(mapping.Get(), FILE_MAP_READ, 0, 0, sizeof(DWORD));
  if (!view) return {};
  const DWORD id = *static_cast<const DWORD*>(view);
  UnmapViewOfFile(view);
  return ScopedHandle(OpenProcess(SYNCHRONIZE, FALSE, id));
}

}  // namespace

StarterInstance::StarterInstance() : running_(CreateMutexA(nullptr, TRUE, kRunningMutex)) {
  if (!running_.Valid()) ThrowLastError();
  if (GetLastError() == ERROR_ALREADY_EXISTS) return;
  // The id first: once the event is there, "/stop" looks for it.
  processId_ = PublishProcessId();
  stop_.Reset(CreateEventA(nullptr, TRUE, FALSE, kStopEvent));
  if (!stop_.Valid()) ThrowLastError();
  ResetEvent(stop_.Get());  // left set by a "/stop" for a starter that has just ended
}

void StopRunningStarter() {
  ScopedHandle stop(OpenEventA(EVENT_MODIFY_STATE, FALSE, kStopEvent));
  if (!stop.Valid()) return;
  const ScopedHandle process = OpenRunningProcess();
  SetEvent(stop.Get());
  if (process.Valid()) WaitForSingleObject(process.Get(), kLongestStopWaitMs);
}

}  // namespace velmox::win32
