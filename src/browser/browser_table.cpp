#include "browser/browser_table.h"

#include <cstdint>
#include <exception>
#include <optional>

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

// The event receiver of one slot. It passes the events on with a copy of the slot's reference,
// so that nothing the handlers do to it changes the slot.
class BrowserTable::SlotEvents : public BrowserEvents {
 public:
  SlotEvents(BrowserTable& table, int number) : table_(table), number_(number) {}

  void BeforeNavigate2(BeforeNavigate2Args& args) override {
    std::shared_ptr<BrowserWindow> window = table_.Slot(number_);
    if (!window) return;
    SkipOnFailure([&] { table_.handlers_.SlotBeforeNavigate2(window, args); });
  }
  void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel) override {
    std::shared_ptr<BrowserWindow> window = table_.Slot(number_);
    if (!window) return;
    SkipOnFailure([&] { table_.handlers_.SlotNewWindow2(window, ppDisp, Cancel); });
  }

 private:
  BrowserTable& table_;
  int number_;
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
      collectionEvents_(std::make_unique<CollectionEvents>(*this)) {
  for (int i = 0; i < kSlotCount; ++i)
    slotEvents_[i] = std::make_unique<SlotEvents>(*this, i + 1);
}

BrowserTable::~BrowserTable() {
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
  if (ended_) return;
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

// Connecting comes first: when it fails the slot stays empty.
void BrowserTable::StoreInSlot(int number, std::shared_ptr<BrowserWindow> window) {
  BrowserSlot& slot = slots_[number - 1];
  std::unique_ptr<Connection> connection = window->Connect(*slotEvents_[number - 1]);
  slot.connection = std::move(connection);
  slot.window = std::move(window);
}

void BrowserTable::EmptySlot(int number) noexcept {
  BrowserSlot& slot = slots_[number - 1];
  slot.connection.reset();
  slot.window.reset();
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

void BrowserTable::SWs_WindowRegistered(long /*lCookie*/) {
  FindIEWindows();
  if (ended_ || !lastBrowser_ || !state_.BlockingOn) return;
  // A copy: the window stays alive even if a nested rescan replaces LastBrowser meanwhile.
  const std::shared_ptr<BrowserWindow> window = lastBrowser_;
  AdjustNewWindow(*window, state_.OptionValues);
}

void BrowserTable::SWs_WindowRevoked(long /*lCookie*/) {
  FindIEWindows();
  if (ended_ || lastBrowser_ || !state_.OptionValues.AutoClose) return;
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
