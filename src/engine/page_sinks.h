#pragma once

#include <array>
#include <functional>
#include <memory>

#include "core/app_state.h"
#include "core/browser_automation.h"
#include "core/desktop_services.h"

namespace velmox {

// The four hidden embedded browser controls that a captured pop-up is routed into. Its first
// navigation arrives in the sink, where it is refused, and then either opened for the user (it
// was their own click) or announced as blocked.
class PageSinks {
 public:
  static constexpr int kCount = 4;

  // Creates the four controls and connects their events. A control that cannot be created or
  // connected is left out; a capture into it then fails and the browser opens the window itself.
  // `DoAlert` announces one blocked pop-up.
  PageSinks(AppState& state, Clock& clock, BrowserAutomation& browsers,
            std::function<void()> DoAlert);
  PageSinks(const PageSinks&) = delete;
  PageSinks& operator=(const PageSinks&) = delete;

  // Routes a captured request from `IEObject` into the next sink (1, 2, 3, 0, 1, ...): remembers
  // the opener for it and whether a user action started it, stores the sink's browser object
  // into ppDisp and returns it. Returns null when the sink's object cannot be obtained.
  std::shared_ptr<Dispatch> CaptureInSink(std::shared_ptr<BrowserWindow> IEObject,
                                          std::shared_ptr<Dispatch>& ppDisp,
                                          UserAction startedBy = UserAction::Unknown);

  // The main form's unload: the sinks' events are detached and their openers let go.
  void Release() noexcept;

  void PageSink_BeforeNavigate2(int Index, BeforeNavigate2Args& args);
  void PageSink_NewWindow2(int Index, std::shared_ptr<Dispatch>& ppDisp, bool& Cancel,
                           UserAction startedBy);

  // The sink used by the most recent capture; 0 before the first.
  int NextSink() const { return nextSink_; }
  // The opener last routed into sink `index`; null before its first capture.
  std::shared_ptr<BrowserWindow> SinkOpener(int index) const;
  // How many analyses have failed and were left to the failure rule, this run.
  int AnalysisFailures() const { return analysisFailures_; }

 private:
  struct SinkEvents : BrowserEvents {
    PageSinks* owner = nullptr;
    int index = 0;
    void BeforeNavigate2(BeforeNavigate2Args& args) override;
    void NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel, UserAction startedBy) override;
  };

  void AnalysisFailed();
  void Alert();

  AppState& state_;
  Clock& clock_;
  BrowserAutomation& browsers_;
  std::function<void()> doAlert_;
  // Declared so that the connections go first, then their handlers, then the controls.
  std::array<std::unique_ptr<PageSinkControl>, kCount> pageSink_;
  std::array<SinkEvents, kCount> events_;
  std::array<std::unique_ptr<Connection>, kCount> connections_;
  std::array<std::shared_ptr<BrowserWindow>, kCount> sinkOpener_;
  std::array<UserAction, kCount> sinkStartedBy_{};
  int nextSink_ = 0;
  int analysisFailures_ = 0;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // gone with the sinks
};

}  // namespace velmox
