#include "platform/sim/sim_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/ascii_case.h"
#include "core/platform_error.h"

namespace velmox::sim {
namespace {

PlatformError FileNotFound() {
  return PlatformError(53, "File not found");
}
PlatformError AccessError() {
  return PlatformError(75, "Path/File access error");
}

PlatformError DiskFull() {
  return PlatformError(61, "Disk full");
}

// Writes the text; with `full`, only its first half reaches the disk before the disk is full.
void WriteAll(int fd, const std::string& text, bool full) {
  std::size_t done = 0;
  const std::size_t end = full ? text.size() / 2 : text.size();
  while (done < end) {
    const ssize_t n = ::write(fd, text.data() + done, end - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == ENOSPC || errno == EFBIG || errno == EDQUOT) throw DiskFull();
      throw AccessError();
    }
    done += static_cast<std::size_t>(n);
  }
  if (full) throw DiskFull();
}

// How many fresh names a whole-file write tries beside its target before it gives up.
constexpr int kTemporaryNames = 100;

// A new file beside `target`, created exclusively: ".new", else ".new1", ".new2" ... when a
// name is taken by anything at all (a file, a folder, a link, a link to nowhere).
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& name) {
  for (int i = 0; i < kTemporaryNames; ++i) {
    name = target;
    name += i == 0 ? std::string(".new") : ".new" + std::to_string(i);
    const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) return fd;
    if (errno != EEXIST) break;
  }
  throw AccessError();
}

}  // namespace

void ReplaceWholeFile(const std::filesystem::path& target, const std::string& text,
                      const std::function<bool(std::string_view step)>& fails) {
  if (fails("create")) throw AccessError();
  std::filesystem::path temporary;
  const int fd = CreateTemporary(target, temporary);
  try {
    WriteAll(fd, text, fails("write"));
    if (::fsync(fd) != 0) throw AccessError();
  } catch (...) {
    ::close(fd);
    ::unlink(temporary.c_str());
    throw;
  }
  if (::close(fd) != 0 || fails("rename") || std::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    throw AccessError();
  }
}

std::filesystem::path SimFiles::RealPath(const std::string& path) const {
  if (!path.empty() && path.front() == '/') return path;
  if (StartsWithIgnoreCase(path, virtualFolder_)) {
    std::string rest = path.substr(virtualFolder_.size());
    if (rest.empty()) return realFolder_;
    if (rest.front() == '\\') {
      for (char& c : rest) {
        if (c == '\\') c = '/';
      }
      const std::filesystem::path inside = rest.substr(1);
      // A ".." or a second leading separator would lead out of the application folder into the
      // real machine's files.
      if (inside.has_root_path()) throw PlatformError(76, "Path not found");
      for (const auto& part : inside) {
        if (part == "..") throw PlatformError(76, "Path not found");
      }
      return realFolder_ / inside;
    }
  }
  throw PlatformError(76, "Path not found");
}

void SimFiles::Lock(const std::string& path) {
  locked_.insert(ToLowerAscii(RealPath(path).lexically_normal().string()));
}

void SimFiles::Unlock(const std::string& path) {
  locked_.erase(ToLowerAscii(RealPath(path).lexically_normal().string()));
}

void SimFiles::ThrowIfLocked(const std::string& path) const {
  if (locked_.empty()) return;
  if (locked_.contains(ToLowerAscii(RealPath(path).lexically_normal().string())))
    throw PlatformError(70, "Permission denied");
}

void SimFiles::ReportKept(const std::string& message) {
  if (onReport) onReport(message);
}

void SimFiles::Rename(const std::string& from, const std::string& to) {
  const auto source = RealPath(from);
  const auto target = RealPath(to);
  ThrowIfLocked(from);
  ThrowIfLocked(to);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(source, ec)) throw FileNotFound();
  if (std::filesystem::exists(target, ec)) throw PlatformError(58, "File already exists");
  if (Fails("rename", from)) throw AccessError();
  std::filesystem::rename(source, target, ec);
  if (ec) throw AccessError();
}

std::int64_t SimFiles::FileLength(const std::string& path) {
  std::error_code ec;
  const auto real = RealPath(path);
  if (!std::filesystem::is_regular_file(real, ec)) throw FileNotFound();
  if (Fails("read", path)) throw AccessError();
  const auto size = std::filesystem::file_size(real, ec);
  if (ec) throw AccessError();
  return static_cast<std::int64_t>(size);
}

std::string SimFiles::ReadText(const std::string& path) {
  std::error_code ec;
  const auto real = RealPath(path);
  if (!std::filesystem::is_regular_file(real, ec)) throw FileNotFound();
  ThrowIfLocked(path);
  if (Fails("read", path)) throw AccessError();
  std::ifstream in(real, std::ios::binary);
  if (!in) throw AccessError();
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw AccessError();
  return text.str();
}

void SimFiles::WriteText(const std::string& path, const std::string& text) {
  const auto real = RealPath(path);
  ThrowIfLocked(path);
  if (Fails("create", path)) throw AccessError();
  const int fd = ::open(real.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw AccessError();
  try {
    WriteAll(fd, text, Fails("write", path));
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) throw AccessError();
  if (onWritten) onWritten(path);
}

void SimFiles::WriteTextAtomically(const std::string& path, const std::string& text) {
  ThrowIfLocked(path);
  ReplaceWholeFile(RealPath(path), text, [&](std::string_view step) { return Fails(step, path); });
  if (onWritten) onWritten(path);
}

}  // namespace velmox::sim
