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

}  // namespace

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
      // A ".." would lead out of the application folder into the real machine's files.
      for (const auto& part : inside) {
        if (part == "..") throw PlatformError(76, "Path not found");
      }
      return realFolder_ / inside;
    }
  }
  throw PlatformError(76, "Path not found");
}

void SimFiles::WriteAll(int fd, const std::string& path, const std::string& text) const {
  std::size_t done = 0;
  std::size_t end = text.size();
  const bool full = Fails("write", path);
  if (full) end /= 2;
  while (done < end) {
    const ssize_t n = ::write(fd, text.data() + done, end - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == ENOSPC) throw DiskFull();
      throw AccessError();
    }
    done += static_cast<std::size_t>(n);
  }
  if (full) throw DiskFull();
}

void SimFiles::Rename(const std::string& from, const std::string& to) {
  const auto source = RealPath(from);
  const auto target = RealPath(to);
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
  if (Fails("create", path)) throw AccessError();
  const int fd = ::open(real.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw AccessError();
  try {
    WriteAll(fd, path, text);
  } catch (...) {
    ::close(fd);
    throw;
  }
  if (::close(fd) != 0) throw AccessError();
  if (onWritten) onWritten(path);
}

void SimFiles::WriteTextAtomically(const std::string& path, const std::string& text) {
  const auto real = RealPath(path);
  auto temporary = real;
  temporary += ".new";
  if (Fails("create", path)) throw AccessError();
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) throw AccessError();
  try {
    WriteAll(fd, path, text);
    if (::fsync(fd) != 0) throw AccessError();
  } catch (...) {
    ::close(fd);
    ::unlink(temporary.c_str());
    throw;
  }
  if (::close(fd) != 0 || Fails("rename", path) ||
      std::rename(temporary.c_str(), real.c_str()) != 0) {
    ::unlink(temporary.c_str());
    throw AccessError();
  }
  if (onWritten) onWritten(path);
}

}  // namespace velmox::sim
