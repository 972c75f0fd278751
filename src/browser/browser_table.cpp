#include "browser/browser_table.h"

#include <cstdint>
#include <exception>
#include <optional>
#include <utility>

#include "browser/new_window_rules.h"
#include "browser/qualifying_window.h"
#include "core/failure.h"
#include "core/platform_error.h"

namespace velmox {
namespace {

void RunHook(const std::function<void()>& hook) {
  if (hook) SkipOnFailure(hook);
}

}  // namespace

std::string ScanErrorMessage(long number, const std::string& description) {
  // Error numbers are 32-bit, as the platform reports them (an HRESULT reads negative).
  const auto shown = static_cast<std::int32_t>(number);
  return "I experienced an error while trying to connect to Internet Explorer, probably due to an "
         "error that occured within IE.\r\n"
         "It may be possible to continue.  Select 'Yes' to try to continue running, 'No' to "
         "close Velmox.\r\n\r\n(Error #" +
         std::to_string(shown) + ": " + description + ")";
}

// The event receiver of one connected window. It passes the events on with a copy of the
// reference to the window it was connected for, so that nothing the handlers do to it changes
// the slot, and no event of one window is ever handed on as another's.
class BrowserTable::WindowEvents : public BrowserEvents {
 public:
  WindowEvents(SlotHandlers& handlers, std::shared_ptr<BrowserWindow> window)
      : handlers_(handlers), window_(std::move(window)) {}

  void BeforeNavigate2(BeforeNavigate2Args& args) override {
    SkipOnFailure([&] { handlers_.SlotBeforeNavigate2(window_, args); });
  }
  void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel, UserAction startedBy) override {
    SkipOnFailure([&] { handlers_.SlotNewWindow2(window_, ppDisp, Cancel, startedBy); });
  }

 private:
  SlotHandlers& handlers_;
  std::shared_ptr<BrowserWindow> window_;
};

class BrowserTable::CollectionEvents : public ShellWindowsEvents {
 public:
  explicit CollectionEvents(BrowserTable& table) : table_(table) {}
  void WindowRegistered(long lCookie) override { table_.SWs_WindowRegistered(lCookie); }
  void WindowRevoked(long lCookie) override { table_.SWs_WindowRevoked(lCookie); }

 private:
  BrowserTable& table_;
};

BrowserTable::BrowserTable(AppState& state, BrowserAutomation& browsers, MessageBoxes& messageBoxes,
                           Process& process, SlotHandlers& handlers, BrowserTableHooks hooks)
    : state_(state),
      browsers_(browsers),
      messageBoxes_(messageBoxes),
      process_(process),
      handlers_(handlers),
      hooks_(std::move(hooks)),
      collectionEvents_(std::make_unique<CollectionEvents>(*this)) {}

BrowserTable::~BrowserTable() {
  ended_ = true;  // what arrives while the connections are let go is not handled any more
  swsConnection_.reset();
  for (int number = 1; number <= kSlotCount; ++number)
    EmptySlot(number);
}

void BrowserTable::Release() noexcept {
  ended_ = true;
  swsConnection_.reset();
  for (int number = 1; number <= kSlotCount; ++number)
    EmptySlot(number);
  lastBrowser_.reset();
}

void BrowserTable::CreateSWs() {
  std::unique_ptr<ShellWindows> collection = browsers_.CreateShellWindows();
  std::unique_ptr<Connection> connection = collection->Connect(*collectionEvents_);
  sws_ = std::move(collection);
  swsConnection_ = std::move(connection);
}

std::shared_ptr<BrowserWindow> BrowserTable::Slot(int number) const {
  if (number < 1 || number > kSlotCount) return nullptr;
  return slots_[number - 1].window;
}

int BrowserTable::SlotNumberOf(const BrowserWindow* window) const {
  if (!window) return 0;
  for (int i = 0; i < kSlotCount; ++i) {
    if (slots_[i].window.get() == window) return i + 1;
  }
  return 0;
}

void BrowserTable::FindIEWindows() {
  Run(Work::Scan);
}

void BrowserTable::SWs_WindowRegistered(long /*lCookie*/) {
  Run(Work::Registered);
}

void BrowserTable::SWs_WindowRevoked(long /*lCookie*/) {
  Run(Work::Revoked);
}

void BrowserTable::Run(Work work) {
  if (ended_) return;
  waiting_.push_back(work);
  if (busy_) return;  // the work in hand takes it up when it is done
  busy_ = true;
  const std::weak_ptr<int> alive = alive_;
  try {
    while (!waiting_.empty() && !ended_) {
      const Work next = waiting_.front();
      waiting_.pop_front();
      Do(next);
      if (alive.expired()) return;  // the main form's unload took the table with it
    }
  } catch (...) {
    // Only what is no failure gets here (a desktop ending the run); the table stays usable.
    if (!alive.expired()) {
      waiting_.clear();
      busy_ = false;
    }
    throw;
  }
  waiting_.clear();
  busy_ = false;
}

void BrowserTable::Do(Work work) {
  ScanOrAsk();
  if (ended_) return;
  if (work == Work::Registered) AdjustLastBrowser();
  if (work == Work::Revoked) CloseIfNoBrowserLeft();
}

void BrowserTable::ScanOrAsk() {
  std::optional<PlatformError> failure;
  try {
    Scan();
  } catch (const PlatformError& error) {
    failure = error;
  } catch (const std::exception& error) {
    failure = PlatformError(0, error.what());
  }
  if (failure) AskAfterScanFailure(failure->Number(), failure->Description());
}

void BrowserTable::Scan() {
  int i = 1;
  lastBrowser_.reset();
  for (int number = 1; number <= kSlotCount; ++number)
    EmptySlot(number);
  if (!sws_) return;  // no collection: nothing to find
  const std::unique_ptr<WindowEnumerator> entries = sws_->Enumerate();
  while (std::shared_ptr<BrowserWindow> w = entries->Next()) {
    if (!IsQualifyingWindow(*w)) continue;
    // Windows after the fortieth are counted but get no slot.
    if (i <= kSlotCount) {
      StoreInSlot(i, w);
      lastBrowser_ = w;
    }
    ++i;
  }
}

// Connecting comes first: when it fails the slot stays empty. The slot changes only once the
// connection is made, and what it held before is let go after it has changed.
void BrowserTable::StoreInSlot(int number, std::shared_ptr<BrowserWindow> window) {
  auto events = std::make_unique<WindowEvents>(handlers_, window);
  std::unique_ptr<Connection> connection = window->Connect(*events);
  const BrowserSlot previous = std::exchange(
      slots_[number - 1], BrowserSlot{std::move(window), std::move(events), std::move(connection)});
}

void BrowserTable::EmptySlot(int number) noexcept {
  const BrowserSlot previous = std::exchange(slots_[number - 1], BrowserSlot{});
}

void BrowserTable::AskAfterScanFailure(long number, const std::string& description) {
  // A box that cannot be shown counts as Yes: ending Velmox needs the user's word.
  const int answer = TrapOr(MessageBoxes::kIdYes, [&] {
    return messageBoxes_.MessageBoxA(0, ScanErrorMessage(number, description), kScanErrorTitle,
                                     kScanErrorStyle);
  });
  if (answer != MessageBoxes::kIdNo) return;
  ended_ = true;
  // On a desktop that unwinds the run here, that passes through: it is no failure.
  SkipOnFailure([&] { process_.EndNow(); });
}

void BrowserTable::AdjustLastBrowser() {
  if (!lastBrowser_ || !state_.BlockingOn) return;
  // A copy: the window stays alive whatever happens to LastBrowser meanwhile.
  const std::shared_ptr<BrowserWindow> window = lastBrowser_;
  AdjustNewWindow(*window, state_.OptionValues);
}

void BrowserTable::CloseIfNoBrowserLeft() {
  if (lastBrowser_ || !state_.OptionValues.AutoClose) return;
  // The main form's unload may destroy this table, so nothing of it is touched after that.
  const BrowserTableHooks hooks = hooks_;
  if (state_.DialogOpen) {
    state_.ExitPending = true;
    RunHook(hooks.UnloadMainForm);
    return;
  }
  // A dialog that fails to unload must not keep the main form loaded.
  RunHook(hooks.UnloadSettingsDialog);
  RunHook(hooks.UnloadMainForm);
}

void BrowserTable::Timer1_Timer() {
  if (ended_ || !sws_) return;
  // A window that closed since the enumeration is passed over; a failing enumeration ends the
  // tick, and the next tick tries again.
  SkipOnFailure([&] {
    const std::unique_ptr<WindowEnumerator> entries = sws_->Enumerate();
    while (std::shared_ptr<BrowserWindow> w = entries->Next()) {
      SkipOnFailure([&] { w->SetAddressBar(true); });
    }
  });
}

}  // namespace velmox
