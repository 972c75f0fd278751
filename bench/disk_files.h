#pragma once

#include <cstdio>
#include <fstream>
#include <string>

#include "platform/files.h"
#include "platform/platform_error.h"

// Real files for the benchmarks only, until the simulated desktop's file class is there. A path
// written with "\" separators is taken with "/".
namespace velmox::bench {

class DiskFiles : public Files {
 public:
  void Rename(const std::string& from, const std::string& to) override {
    if (std::rename(Local(from).c_str(), Local(to).c_str()) != 0) throw Fail();
  }
  std::int64_t FileLength(const std::string& path) override {
    std::ifstream in(Local(path), std::ios::binary | std::ios::ate);
    if (!in) throw Fail();
    return static_cast<std::int64_t>(in.tellg());
  }
  std::string ReadText(const std::string& path) override {
    std::ifstream in(Local(path), std::ios::binary | std::ios::ate);
    if (!in) throw Fail();
    std::string text(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    if (!in.read(text.data(), static_cast<std::streamsize>(text.size()))) throw Fail();
    return text;
  }
  void WriteText(const std::string& path, const std::string& text) override {
    std::ofstream out(Local(path), std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    if (!out) throw Fail();
  }
  void ReplaceText(const std::string& path, const std::string& text) override {
    const std::string beside = Local(path) + ".new";
    WriteText(beside, text);
    if (std::rename(beside.c_str(), Local(path).c_str()) != 0) throw Fail();
  }

 private:
  static std::string Local(std::string path) {
    for (char& c : path) {
      if (c == '\\') c = '/';
    }
    return path;
  }
  static PlatformError Fail() { return PlatformError(75, "Path/File access error"); }
};

}  // namespace velmox::bench
