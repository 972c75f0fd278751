#pragma once

#include <array>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "browser/slot_handlers.h"
#include "core/app_state.h"
#include "core/browser_automation.h"
#include "core/desktop_services.h"

namespace velmox {

// What auto-close unloads. The application wires them; an empty one is skipped.
struct BrowserTableHooks {
  std::function<void()> UnloadSettingsDialog;  // nothing happens when the dialog is not loaded
  std::function<void()> UnloadMainForm;        // may destroy the table itself
};

// The text of the message box shown when a scan of the browser windows fails.
std::string ScanErrorMessage(long number, const std::string& description);

// The browser window table: the shell's window collection `SWs` and the 40 event-receiving
// slots IE1 to IE40 that hold the browser windows Velmox follows. Every scan deals all slots
// afresh from the collection. Each slot hands its window's events to the slot handlers with a
// copy of its reference. Single-threaded; owned by the main form.
//
// Every call into the browser may let the browser's own events in before it returns (a call to
// another process pumps messages), so the collection's events can arrive in the middle of a scan,
// of its message box or of the adjustment that follows. Such an event waits: the events are
// handled one after the other, each with its own whole scan, and a slot is only ever changed
// outside the calls that connect or let go of a window.
class BrowserTable {
 public:
  static constexpr int kSlotCount = 40;
  static constexpr const char* kScanErrorTitle = "Velmox Error";
  static constexpr unsigned kScanErrorStyle = MessageBoxes::kYesNo | MessageBoxes::kIconStop;

  BrowserTable(AppState& state, BrowserAutomation& browsers, MessageBoxes& messageBoxes,
               Process& process, SlotHandlers& handlers, BrowserTableHooks hooks);
  ~BrowserTable();
  BrowserTable(const BrowserTable&) = delete;
  BrowserTable& operator=(const BrowserTable&) = delete;

  // Creates the collection and connects its events. Throws PlatformError when either fails;
  // the table then has no collection: no window events arrive and every scan finds nothing.
  void CreateSWs();

  // Rebuilds the table from the collection. A failure stops the scan and asks the user whether
  // to go on (the slots filled so far stay) or to end Velmox at once. Asked for while another
  // scan runs, it runs after that one.
  //
  // No failure escapes these four; only what is no failure (a desktop ending the run) passes.
  void FindIEWindows();
  void SWs_WindowRegistered(long lCookie);
  void SWs_WindowRevoked(long lCookie);
  // The address-bar timer's tick: shows the address bar of every window of the collection.
  void Timer1_Timer();

  // The main form's unload: the collection's and every slot's events are detached and the table
  // does nothing more. Safe inside the table's own handlers, whose receivers stay.
  void Release() noexcept;

  // What the table holds, for the simulated desktop and the tests.
  ShellWindows* SWs() const { return sws_.get(); }
  // The window in slot `number` (1 for IE1 ... 40 for IE40); null when the slot is empty.
  std::shared_ptr<BrowserWindow> Slot(int number) const;
  // The number of the slot holding `window`, 0 when it is in none.
  int SlotNumberOf(const BrowserWindow* window) const;
  const std::shared_ptr<BrowserWindow>& LastBrowser() const { return lastBrowser_; }
  // True once the user chose to end Velmox after a failed scan, or the table was released; the
  // table does nothing more.
  bool Ended() const { return ended_; }

 private:
  class WindowEvents;
  class CollectionEvents;
  // What the table has been asked to do: a scan, alone or followed by what the collection's
  // event asks for.
  enum class Work { Scan, Registered, Revoked };
  struct BrowserSlot {
    std::shared_ptr<BrowserWindow> window;
    std::unique_ptr<WindowEvents> events;    // this window's own receiver
    std::unique_ptr<Connection> connection;  // declared last: dropped before its receiver
  };

  void Run(Work work);
  void Do(Work work);
  void ScanOrAsk();
  void Scan();
  void StoreInSlot(int number, std::shared_ptr<BrowserWindow> window);
  void EmptySlot(int number) noexcept;
  void AskAfterScanFailure(long number, const std::string& description);
  void AdjustLastBrowser();
  void CloseIfNoBrowserLeft();

  AppState& state_;
  BrowserAutomation& browsers_;
  MessageBoxes& messageBoxes_;
  Process& process_;
  SlotHandlers& handlers_;
  BrowserTableHooks hooks_;

  // The collection's receiver outlives the connection that points at it.
  std::unique_ptr<CollectionEvents> collectionEvents_;
  std::array<BrowserSlot, kSlotCount> slots_;
  std::shared_ptr<BrowserWindow> lastBrowser_;
  std::unique_ptr<ShellWindows> sws_;
  std::unique_ptr<Connection> swsConnection_;
  bool ended_ = false;
  bool busy_ = false;  // work is being done; work asked for meanwhile waits in `waiting_`
  std::deque<Work> waiting_;
  // Gone with the table: work that unloaded the main form (and this table) stops there.
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace velmox
