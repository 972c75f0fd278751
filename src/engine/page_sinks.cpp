#include "engine/page_sinks.h"

#include <cmath>
#include <optional>

#include "core/failure.h"
#include "core/platform_error.h"
#include "engine/user_click.h"

namespace velmox {
namespace {

// Failures of the analysis within this many seconds of the run's first one stay quiet.
constexpr float kQuietSeconds = 3;

}  // namespace

PageSinks::PageSinks(AppState& state, Clock& clock, BrowserAutomation& browsers,
                     std::function<void()> DoAlert)
    : state_(state), clock_(clock), browsers_(browsers), doAlert_(std::move(DoAlert)) {
  for (int i = 0; i < kCount; ++i) {
    events_[i].owner = this;
    events_[i].index = i;
    SkipOnFailure([&] {
      pageSink_[i] = browsers_.CreatePageSink(i);
      if (pageSink_[i]) connections_[i] = pageSink_[i]->Connect(events_[i]);
    });
  }
}

std::shared_ptr<Dispatch> PageSinks::CaptureInSink(std::shared_ptr<BrowserWindow> IEObject,
                                                   std::shared_ptr<Dispatch>& ppDisp,
                                                   UserAction startedBy) {
  nextSink_ = (nextSink_ + 1) % kCount;
  sinkOpener_[nextSink_] = std::move(IEObject);
  sinkStartedBy_[nextSink_] = startedBy;
  return TrapOr<std::shared_ptr<Dispatch>>(nullptr, [&] {
    PageSinkControl* sink = pageSink_[nextSink_].get();
    if (!sink) throw ObjectNotSet();
    ppDisp = sink->Object();
    return ppDisp;
  });
}

void PageSinks::Release() noexcept {
  for (int i = 0; i < kCount; ++i) {
    connections_[i].reset();
    sinkOpener_[i].reset();
  }
}

std::shared_ptr<BrowserWindow> PageSinks::SinkOpener(int index) const {
  if (index < 0 || index >= kCount) return nullptr;
  return sinkOpener_[index];
}

void PageSinks::PageSink_BeforeNavigate2(int Index, BeforeNavigate2Args& args) {
  // Nothing is ever loaded in a sink, whatever the outcome below.
  args.Cancel = true;
  // Reading the page calls into the browser, which lets its events in: one of them may unload
  // the main form and these sinks with it. Nothing is done after that.
  const std::weak_ptr<int> alive = alive_;
  const LetCapturedWindowGoOn capturedWindow = [this, alive, Index](const NavigateArgs& to) {
    return !alive.expired() && pageSink_[Index] && pageSink_[Index]->LetCapturedWindowGoOn(to);
  };
  const std::optional<bool> Handled = TrapOr<std::optional<bool>>(std::nullopt, [&] {
    const std::shared_ptr<BrowserWindow> opener = SinkOpener(Index);
    if (!opener) throw ObjectNotSet();
    if (args.Unreadable) throw *args.Unreadable;
    return OpenIfUserAction(state_.OptionValues, browsers_, *opener, args.URL, args.Flags,
                            args.PostData, sinkStartedBy_[Index], capturedWindow);
  });
  if (alive.expired()) return;
  if (!Handled) {
    AnalysisFailed();
    return;
  }
  if (!*Handled) Alert();
}

void PageSinks::PageSink_NewWindow2(int, std::shared_ptr<Dispatch>&, bool& Cancel, UserAction) {
  // Nothing in a sink may open a window.
  Cancel = true;
}

// The first failure of the run is stamped and never renewed: failures within three seconds of
// it stay quiet, every later one alerts. Across midnight the difference is large, so it alerts.
void PageSinks::AnalysisFailed() {
  ++analysisFailures_;
  SkipOnFailure([&] {
    const float now = static_cast<float>(clock_.SecondsSinceMidnight());
    if (state_.ErrorTime == 0) state_.ErrorTime = now;
    if (std::fabs(state_.ErrorTime - now) > kQuietSeconds) Alert();
  });
}

void PageSinks::Alert() {
  SkipOnFailure([&] {
    if (doAlert_) doAlert_();
  });
}

void PageSinks::SinkEvents::BeforeNavigate2(BeforeNavigate2Args& args) {
  owner->PageSink_BeforeNavigate2(index, args);
}

void PageSinks::SinkEvents::NewWindow2(std::shared_ptr<Dispatch>& ppDisp, bool& Cancel,
                                       UserAction startedBy) {
  owner->PageSink_NewWindow2(index, ppDisp, Cancel, startedBy);
}

}  // namespace velmox
