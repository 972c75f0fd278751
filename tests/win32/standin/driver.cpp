#include "driver.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "record.h"
#include "requests.h"
#include "world.h"

namespace standin {
namespace {

constexpr char kDriverClass[] = "StandIn.Driver";
constexpr UINT kPump = WM_APP + 1;
constexpr UINT kNow = WM_APP + 2;
constexpr UINT_PTR kWaitTimer = 1;
constexpr UINT_PTR kKeyTimer = 2;
constexpr DWORD kLongestKeyWait = 10000;

std::vector<std::string> Words(const std::string& line) {
  std::istringstream words(line);
  std::vector<std::string> result;
  for (std::string word; words >> word;)
    result.push_back(word);
  return result;
}

// "events=3,2" and the like; NewWindow2 alone when not given.
std::vector<int> EventsOption(const std::vector<std::string>& words, std::size_t from) {
  for (std::size_t i = from; i < words.size(); ++i) {
    if (words[i].rfind("events=", 0) != 0) continue;
    std::vector<int> events;
    for (const char c : words[i].substr(7)) {
      if (c == '2' || c == '3') events.push_back(c - '0');
    }
    return events;
  }
  return {2};
}

bool HasWord(const std::vector<std::string>& words, std::size_t from, const std::string& word) {
  for (std::size_t i = from; i < words.size(); ++i) {
    if (words[i] == word) return true;
  }
  return false;
}

WindowFeatures FeaturesOption(const std::vector<std::string>& words, std::size_t from) {
  WindowFeatures features;
  for (std::size_t i = from; i < words.size(); ++i) {
    const std::string& word = words[i];
    const std::size_t equals = word.find('=');
    const std::string key = word.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
    if (key == "name") {
      features.name = value;
      for (char& c : features.name)
        c = c == '_' ? ' ' : c;
    }
    if (key == "visible") features.visible = value != "0";
    if (key == "fullscreen") features.fullScreen = value == "1";
    if (key == "theater") features.theaterMode = value == "1";
    if (key == "menubar") features.menuBar = value != "0";
    if (key == "statusbar") features.statusBar = value != "0";
    if (key == "toolbar") features.toolBar = std::atoi(value.c_str());
    if (key == "bare") features.bare = true;
  }
  return features;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

std::string ProcessFileName() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string file(path, length);
  return file.substr(file.find_last_of('\\') + 1);
}

}  // namespace

Driver::Driver(World& world) : world_(world) {
  WNDCLASSA driver{};
  driver.lpfnWndProc = &WindowProc;
  driver.hInstance = GetModuleHandleA(nullptr);
  driver.lpszClassName = kDriverClass;
  RegisterClassA(&driver);
  window_ = CreateWindowA(kDriverClass, ProcessFileName().c_str(), 0, 0, 0, 0, 0, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Driver::~Driver() {
  if (window_) DestroyWindow(window_);
}

void Driver::Queue(std::string command) {
  commands_.push_back(std::move(command));
  PostMessageA(window_, kPump, 0, 0);
}

void Driver::Later(std::function<void()> task) {
  tasks_.push_back(std::move(task));
  PostMessageA(window_, kPump, 0, 0);
}

void Driver::RunNow(const std::string& command) {
  Execute(command);
}

void Driver::RunStartFile() {
  const char* file = std::getenv("STANDIN_BROWSER_START");
  if (!file || !*file) return;
  std::istringstream lines(ReadFile(file));
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] != '#') Execute(line);
  }
}

LRESULT CALLBACK Driver::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* driver = reinterpret_cast<Driver*>(GetWindowLongPtrA(window, GWLP_USERDATA));
  if (!driver) return DefWindowProcA(window, message, wParam, lParam);
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::string command(static_cast<const char*>(data->lpData), data->cbData);
    if (command.rfind("now ", 0) == 0) {
      driver->now_.push_back(command.substr(4));
      PostMessageA(window, kNow, 0, 0);
    } else {
      driver->Queue(std::move(command));
    }
    return TRUE;
  }
  if (message == kNow && !driver->now_.empty()) {
    const std::string command = std::move(driver->now_.front());
    driver->now_.pop_front();
    driver->Execute(command);
    return 0;
  }
  if (message == kPump) {
    driver->Pump();
    return 0;
  }
  if (message == WM_TIMER && wParam == kWaitTimer) {
    KillTimer(window, kWaitTimer);
    driver->Resume();
    return 0;
  }
  if (message == WM_TIMER && wParam == kKeyTimer) {
    const bool down = (GetAsyncKeyState(driver->awaitedKey_) & 0x8000) != 0;
    if (down == driver->awaitedDown_ || GetTickCount() > driver->waitEnd_) {
      if (down != driver->awaitedDown_) Record("error: the key did not change in time");
      KillTimer(window, kKeyTimer);
      driver->Resume();
    }
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void Driver::Resume() {
  waiting_ = false;
  Pump();
}

// One piece of work a turn of the message loop: what the browser or Velmox posted meanwhile
// (a page sink's navigation, say) comes first, as it would between a real user's actions.
void Driver::Pump() {
  if (busy_) return;  // the work running now asks for the next turn when it is done
  busy_ = true;
  if (!tasks_.empty()) {
    std::function<void()> task = std::move(tasks_.front());
    tasks_.pop_front();
    task();
  } else if (!waiting_ && !commands_.empty()) {
    const std::string command = std::move(commands_.front());
    commands_.pop_front();
    Execute(command);
  }
  busy_ = false;
  if (!tasks_.empty() || (!waiting_ && !commands_.empty())) PostMessageA(window_, kPump, 0, 0);
}

void Driver::Execute(const std::string& line) {
  const std::vector<std::string> words = Words(line);
  if (words.empty()) return;
  const std::string& verb = words[0];
  const std::size_t count = words.size();
  Window* window = count > 1 ? world_.Find(words[1]) : nullptr;
  const bool onWindow = verb == "close" || verb == "navigate" || verb == "popup" ||
                        verb == "click" || verb == "focus" || verb == "context-menu";
  if (onWindow && !window) {
    Record("error: no window for: " + line);
    return;
  }

  if (verb == "page" && count == 3) {
    world_.SetPage(words[1], ReadFile(words[2]));
  } else if (verb == "open" && count >= 3) {
    const WindowFeatures features = FeaturesOption(words, 3);
    Window& opened = world_.Create(words[1], features);
    opened.Load(words[2]);
    Record("opened " + words[1] + " " + words[2]);
    world_.Register(opened, false);
    if (features.visible && !opened.Closed()) opened.Show(true);
    opened.Release();
  } else if (verb == "close" && count == 2) {
    world_.Revoke(*window);
  } else if (verb == "navigate" && count == 3) {
    NavigateWindow(*window, words[2], std::nullopt);
  } else if (verb == "popup" && count >= 3) {
    NewWindowRequest request{words[2], std::nullopt, EventsOption(words, 3)};
    request.apart = HasWord(words, 3, "apart");
    request.fresh = HasWord(words, 3, "fresh");
    RequestNewWindow(world_, *window, request);
  } else if (verb == "focus" && count == 3) {
    FocusElement(*window, words[2]);
  } else if (verb == "click" && count >= 3) {
    Click(world_, *window, words[2], EventsOption(words, 3));
  } else if (verb == "context-menu" && (count == 3 || (count == 4 && words[3] == "long"))) {
    RunContextMenuScript(*window, words[2], count == 4);
  } else if (verb == "report" && count == 1) {
    for (Window* each : world_.Listed()) {
      Record("listed " + each->Id() + " sinks=" + std::to_string(each->Connections()));
    }
  } else if (verb == "mark") {
    Record(line);
  } else if (verb == "wait" && count == 2) {
    waiting_ = true;
    SetTimer(window_, kWaitTimer, static_cast<UINT>(std::atoi(words[1].c_str())), nullptr);
  } else if (verb == "wait-key" && count == 3) {
    waiting_ = true;
    awaitedKey_ = std::atoi(words[1].c_str());
    awaitedDown_ = words[2] == "down";
    waitEnd_ = GetTickCount() + kLongestKeyWait;
    SetTimer(window_, kKeyTimer, 20, nullptr);
  } else if (verb == "arm" && count >= 4) {
    // The armed command is the rest of the line, as written.
    std::size_t at = 0;
    for (int skipped = 0; skipped < 3; ++skipped) {
      at = line.find_first_not_of(" \t", at);
      at = line.find_first_of(" \t", at);
    }
    world_.Arm(words[1], words[2], line.substr(line.find_first_not_of(" \t", at)));
  } else {
    Record("error: cannot run: " + line);
  }
}

}  // namespace standin
