#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "core/browser_automation.h"
#include "core/platform_error.h"

namespace velmox::sim {

// The shell's enumeration over the windows as they were when it began. A window closed since
// then is skipped, as the shell does; a script's fault makes step `failAt` throw `failure`.
// The two fault fields belong to the browser that made the enumerator and outlive it.
template <class Window>
class SnapshotEnumerator final : public WindowEnumerator {
 public:
  SnapshotEnumerator(std::vector<std::shared_ptr<Window>> items,
                     const std::optional<std::size_t>& failAt,
                     const std::optional<PlatformError>& failure)
      : items_(std::move(items)), failAt_(failAt), failure_(failure) {}

  std::shared_ptr<BrowserWindow> Next() override {
    ++reached_;
    if (failAt_ && reached_ == *failAt_ && failure_) throw *failure_;
    while (reached_ <= items_.size() && !items_[reached_ - 1]->open)
      ++reached_;
    if (reached_ > items_.size()) return nullptr;
    return items_[reached_ - 1];
  }

 private:
  std::vector<std::shared_ptr<Window>> items_;
  const std::optional<std::size_t>& failAt_;
  const std::optional<PlatformError>& failure_;
  std::size_t reached_ = 0;
};

}  // namespace velmox::sim
