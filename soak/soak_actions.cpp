#include "soak_actions.h"

#include <array>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "app/application.h"
#include "platform/sim/sim_html.h"

namespace velmox::soak {
namespace {

// The buttons a message box shows, from the low bits of its style.
enum class BoxButtons { Ok, OkCancel, YesNo, Other };
BoxButtons ButtonsOf(unsigned style) {
  switch (style & MessageBoxes::kButtonsMask) {
    case MessageBoxes::kOk:
      return BoxButtons::Ok;
    case MessageBoxes::kOkCancel:
      return BoxButtons::OkCancel;
    case MessageBoxes::kYesNo:
      return BoxButtons::YesNo;
    default:
      return BoxButtons::Other;
  }
}

// Items of Velmox's tray menu, by position: "&Settings...", on or off, "&Close Velmox".
constexpr int kSettingsItem = 0;
constexpr int kOnOffItem = 1;
constexpr int kCloseItem = 3;

constexpr std::array<const char*, 22> kClickable = {
    "XRun",         "XClose",           "XBlink",           "XPlaySound",
    "PlaySound",    "BrowseSound",      "XIgnoreLocal",     "XTargetTop",
    "XTargetBlank", "XBlockByDefault1", "XBlockByDefault2", "XTheaterMode",
    "XFullScreen",  "XStatusBar",       "XToolBar",         "XMenuBar",
    "CmdDelete",    "CmdAllow",         "CmdDisallow",      "cmdOK",
    "cmdCancel",    "cmdApply"};
constexpr std::array<const char*, 4> kSounds = {"C:\\Program Files\\Velmox\\sounds\\cork.wav",
                                                "C:\\Program Files\\Velmox\\sounds\\none.wav", "",
                                                "C:\\elsewhere\\ring.wav"};

constexpr std::array<const char*, 5> kAddresses = {
    "http://ads.example.com/ads.html", "http://news.example.org/ads.html",
    "http://www.example.net/ads.html", "http://ads.example.com/story.html", "about:blank"};
constexpr std::array<const char*, 5> kTargets = {"#story", "#offer", "#go", "#send", "#stray"};

}  // namespace

Actions::Actions(SoakRun& run, Faults& faults, Invariants& invariants)
    : run_(run), faults_(faults), invariants_(invariants) {
  sim::SimDesktop& d = run_.Desktop();
  Random& random = run_.random;
  d.tray.answerMenu = [this, &random](const PopupMenuModel& menu) {
    Nested();
    if (random.Chance(0.15)) return -1;
    static constexpr std::array<int, 4> kItems = {kSettingsItem, kOnOffItem, kOnOffItem,
                                                  kCloseItem};
    const int item = random.Pick(kItems);
    return item < static_cast<int>(menu.items.size()) ? item : -1;
  };
  d.messageBoxes.answer = [this, &random](const sim::MessageBoxCall& box) {
    Nested();
    switch (ButtonsOf(box.style)) {
      case BoxButtons::YesNo:
        return random.Chance(0.9) ? MessageBoxes::kIdYes : MessageBoxes::kIdNo;
      case BoxButtons::OkCancel:
        return random.Chance(0.5) ? MessageBoxes::kIdOk : MessageBoxes::kIdCancel;
      default:
        return MessageBoxes::kIdOk;
    }
  };
  d.fileDialogs.answer = [this, &random](const FileOpenRequest&) -> std::optional<FileOpenChoice> {
    Nested();
    if (random.Chance(0.3)) return std::nullopt;
    const std::string name = random.Pick(kSounds);
    return FileOpenChoice{name, name.substr(name.rfind('\\') + 1)};
  };
}

void Actions::Nested() {
  if (run_.random.Chance(0.2))
    run_.Desktop().clock.Advance(static_cast<long>(run_.random.Below(4000)));
}

void Actions::PlayOne() {
  sim::SimSession& session = run_.session;
  Random& random = run_.random;
  if (random.Chance(0.4)) return PlayInBrowser();
  if (!session.Running()) {
    if (random.Chance(0.05)) return RemoveGeneratedFile();
    if (random.Chance(0.8)) {
      ++run_.figures.runs;
      run_.Desktop().process.endedNow = false;
      session.Start();
    } else {
      Wait();
    }
    return;
  }
  Application& app = *session.App();
  if (frmOptions* dialog = app.Settings().Current()) {
    if (random.Chance(0.85)) return PlayInDialog(*dialog);
  }
  switch (random.Below(10)) {
    case 0:
    case 1:  // a double click: on or off
      return Tray({kLButtonDown, kLButtonUp, kLButtonDblClick, kLButtonUp});
    case 2:
    case 3:
    case 4:  // a right click: the menu
      return Tray({kRButtonDown, kRButtonUp});
    case 5:
      return Tray({kLButtonDown, kLButtonUp});
    case 6:
      if (random.Chance(0.05)) return session.Start();  // a second instance
      return Wait();
    default:
      return Wait();
  }
}

// What a person and the pages do in the browser, Velmox running or not.
void Actions::PlayInBrowser() {
  sim::SimBrowsers& b = run_.Desktop().browsers;
  sim::SimSession& session = run_.session;
  Random& random = run_.random;
  const auto& windows = b.Windows();
  const std::uint64_t what = random.Below(20);
  if (windows.empty() || (what < 3 && windows.size() < 50)) {
    sim::SimBrowsers::OpenOptions options;
    if (random.Chance(0.1)) options.name = "Windows Explorer";  // a folder window
    const std::string label = "w" + std::to_string(++windowsOpened_);
    return session.Deliver([&] { b.Open(label, random.Pick(kAddresses), options); });
  }
  sim::SimWindow& window = *windows[random.Below(windows.size())];
  const sim::Place place{&window, nullptr};
  if (what < 6) return session.Deliver([&] { b.Close(window); });
  if (what < 8) {
    sim::NavigationRequest request;
    request.address = random.Pick(kAddresses);
    return session.Deliver([&] { b.Navigate(place, request); });
  }
  if (what < 12) return Popup([&] { b.ScriptOpens(place, random.Pick(kAddresses), ""); });
  if (what < 15) {
    sim::SimDocument* document = place.Document();
    if (document == nullptr) return;
    sim::HtmlNode* element = sim::QuerySelector(document->Root(), random.Pick(kTargets));
    if (element == nullptr) return;
    return Popup([&] { b.Click(place, *element); });
  }
  if (what < 16) return run_.Desktop().keyboard.SetCtrl(random.Chance(0.3));
  if (what < 18) return session.Deliver([&] { b.ContextMenu(place, random.Chance(0.5)); });
  // Failing automation calls: a window that is closing.
  if (what < 19 && faults_.On()) return faults_.FailOrRecoverWindows(window);
  return Wait();
}

template <class Action>
void Actions::Popup(Action&& action) {
  const Invariants::PopupMark mark = invariants_.BeforePopup();
  run_.session.Deliver(std::forward<Action>(action));
  invariants_.AfterPopup(mark);
}

void Actions::PlayInDialog(frmOptions& dialog) {
  sim::SimSession& session = run_.session;
  Random& random = run_.random;
  switch (random.Below(12)) {
    case 0:
      return session.Deliver([&] { dialog.SelectTab(1 + static_cast<int>(random.Below(5))); });
    case 1:
      return session.Deliver([&] {
        dialog.ChangeText("FileNameText", random.Pick(kSounds));
        if (random.Chance(0.5)) dialog.LeaveText("FileNameText");
      });
    case 2: {
      const std::size_t rows = dialog.controls.ListView1.rows.size();
      if (rows == 0) return Wait();
      return session.Deliver([&] { dialog.SelectRow(random.Below(rows), random.Chance(0.7)); });
    }
    case 3:
      return session.Deliver([&] {
        static constexpr std::array<std::pair<int, int>, 4> kKeyPresses = {
            {{kKeyDelete, 0},
             {kKeyTab, kShiftCtrl},
             {kKeyF1, 0},
             {kKeyTab, kShiftShift | kShiftCtrl}}};
        const auto [key, shift] = random.Pick(kKeyPresses);
        dialog.Form_KeyDown(key, shift, "");
      });
    case 4:
      if (random.Chance(0.3)) return session.Deliver([&] { dialog.CloseWindow(); });
      return Wait();
    case 5:  // the tray stays usable while the dialog is open
      return Tray({kRButtonDown, kRButtonUp});
    default:
      return session.Deliver([&] { dialog.Click(random.Pick(kClickable)); });
  }
}

// The user tidies the application folder while Velmox is closed: the next start writes the file
// again.
void Actions::RemoveGeneratedFile() {
  std::vector<std::filesystem::path> generated;
  for (const auto& entry : std::filesystem::directory_iterator(run_.Desktop().Folders().appDir)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file() && name != "servers.lst") generated.push_back(entry.path());
  }
  if (!generated.empty()) std::filesystem::remove(generated[run_.random.Below(generated.size())]);
}

void Actions::Wait() {
  run_.session.Deliver(
      [&] { run_.Desktop().clock.Advance(static_cast<long>(run_.random.Below(5000))); });
}

void Actions::Tray(std::initializer_list<std::uint32_t> messages) {
  for (std::uint32_t message : messages) {
    Application* app = run_.session.App();
    if (app == nullptr) return;
    run_.session.Deliver([&] { app->TrayCallback(message); });
  }
}

}  // namespace velmox::soak
