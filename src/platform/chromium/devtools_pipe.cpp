#include "platform/chromium/devtools_pipe.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <thread>
#include <vector>

#include "core/platform_error.h"

namespace velmox::chromium {
namespace {

std::vector<std::string> BrowserArguments(const BrowserLaunch& launch) {
  std::vector<std::string> args = {
      launch.executable.string(),
      "--remote-debugging-pipe",
      "--user-data-dir=" + launch.userDataDir.string(),
      // Frames of other sites stay in their page's process, where the page model reaches them.
      "--disable-site-isolation-trials",
      "--no-sandbox",  // runs as root in CI
      "--disable-gpu",
      "--disable-quic",
      // Nothing is looked up on the network: a request Velmox does not serve (one of a window
      // the browser opens by itself, before it is watched) fails at once, where a lookup would
      // take its time and leave the window without an address meanwhile.
      "--host-resolver-rules=MAP * ~NOTFOUND",
      "--no-first-run",
      "--no-default-browser-check",
      "--disable-background-networking",
      "--disable-component-update",
      "--disable-sync",
      "--disable-features=Translate,MediaRouter",
      "--password-store=basic",
      "--use-mock-keychain",
      // A page's timers run on time in every window, the opener of a pop-up and a window
      // behind another included: a hidden or covered window's renderer is otherwise given
      // less time and its timers are held back to once a second or less.
      "--disable-background-timer-throttling",
      "--disable-renderer-backgrounding",
      "--disable-backgrounding-occluded-windows",
  };
  // Velmox judges every pop-up itself, so the browser's own pop-up rule must let them come.
  if (!launch.ownPopupBlocker) args.push_back("--disable-popup-blocking");
  if (!launch.headed) args.push_back("--headless");
  return args;
}

// A descriptor above the two the browser expects, so that placing them cannot clobber it.
int MoveAbove(int fd, int floor) {
  const int moved = fcntl(fd, F_DUPFD_CLOEXEC, floor);
  close(fd);
  return moved;
}

}  // namespace

DevToolsPipe::DevToolsPipe(const BrowserLaunch& launch) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) {
    throw PlatformError(errno, "cannot make the pipe to the browser");
  }
  const int ours = MoveAbove(ends[0], 10);
  const int theirs = MoveAbove(ends[1], 10);
  std::vector<std::string> args = BrowserArguments(launch);
  std::vector<char*> argv;
  for (auto& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ == 0) {
    // The child: only calls that are safe between fork and exec.
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // the browser never outlives Velmox
    if (getppid() != parent) _exit(127);
    dup2(theirs, 3);
    dup2(theirs, 4);
    const int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(theirs);
  if (pid_ < 0) {
    close(ours);
    throw PlatformError(errno, "cannot start the browser " + launch.executable.string());
  }
  fd_ = ours;
}

DevToolsPipe::~DevToolsPipe() {
  if (Open()) Send(R"({"id":0,"method":"Browser.close"})");
  Reap(std::chrono::milliseconds(3000));
  Close();
}

void DevToolsPipe::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

void DevToolsPipe::Reap(std::chrono::milliseconds grace) {
  if (pid_ <= 0) return;
  const auto deadline = std::chrono::steady_clock::now() + grace;
  while (std::chrono::steady_clock::now() < deadline) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

void DevToolsPipe::Kill() {
  if (pid_ > 0) kill(pid_, SIGKILL);
  Reap(std::chrono::milliseconds(2000));
}

bool DevToolsPipe::Send(const std::string& message) {
  if (!Open()) return false;
  std::string framed = message;
  framed.push_back('\0');
  std::size_t sent = 0;
  while (sent < framed.size()) {
    const ssize_t n = send(fd_, framed.data() + sent, framed.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Close();
      return false;
    }
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<std::string> DevToolsPipe::Receive(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    // Each byte is looked at once: a burst of messages costs what its bytes cost.
    if (const auto end = buffer_.find('\0', scanned_); end != std::string::npos) {
      std::string message = buffer_.substr(start_, end - start_);
      start_ = scanned_ = end + 1;
      if (start_ == buffer_.size()) {
        buffer_.clear();
        start_ = scanned_ = 0;
      }
      return message;
    }
    scanned_ = buffer_.size();
    if (buffer_.size() - start_ > kMessageLimit) {
      whyEnded_ =
          "the browser sent a message longer than " + std::to_string(kMessageLimit >> 20) + " MiB";
      Kill();
      Close();
      buffer_.clear();
      start_ = scanned_ = 0;
      return std::nullopt;
    }
    if (!Open()) return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd ready{fd_, POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(std::max<long>(0, left.count())));
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return std::nullopt;
    char chunk[65536];
    const ssize_t n = read(fd_, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      Close();  // the browser has gone
      return std::nullopt;
    }
    if (start_ > 0 && start_ >= buffer_.size() / 2) {
      // What was handed out already goes, at most once for each time the buffer doubles.
      buffer_.erase(0, start_);
      scanned_ -= start_;
      start_ = 0;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

}  // namespace velmox::chromium
