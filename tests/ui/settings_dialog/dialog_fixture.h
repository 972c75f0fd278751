#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "platform/sim/sim_desktop.h"
#include "support/temp_folder.h"
#include "ui/settings_dialog/settings_dialog.h"

namespace velmox {

inline void PrintTo(const SiteEntry& entry, std::ostream* os) {
  *os << "{\"" << entry.Host << "\", " << (entry.Blocked ? "blocked" : "allowed") << "}";
}

}  // namespace velmox

namespace velmox::test {

inline constexpr std::uintptr_t kDialogHandle = sim::SimDialogWindow::kHandle;

// The simulated dialog window, also keeping every control the dialog announced as changed: the
// window itself traces only what changed once the dialog has appeared.
class AnnouncingWindow : public sim::SimDialogWindow {
 public:
  using SimDialogWindow::SimDialogWindow;
  std::vector<std::string> changes;

  void Create(frmOptions& dialog) override {
    SimDialogWindow::Create(dialog);
    dialog.onChanged = [this, traced = std::move(dialog.onChanged)](std::string_view name) {
      changes.emplace_back(name);
      traced(name);
    };
  }
};

inline const std::string kAppFolder = "C:\\Program Files\\Velmox";

// A run as a first start leaves it: every option at its default, and a few sites.
class DialogTest : public ::testing::Test {
 protected:
  DialogTest() {
    OptionRecord& o = state.OptionValues;
    o.LinkTarget = "_blank";
    o.BlockByDefault = true;
    o.BlinkLightBulb = true;
    o.SoundFileName = kAppFolder + "\\sounds\\cork.wav";
    state.Sites.ReplaceAll({{"ads.example", true}, {"news.example", false}});
  }

  frmOptions& Open() {
    dialog.Show();
    return *dialog.Current();
  }
  std::vector<std::string> RowTexts(const frmOptions& f, std::size_t column = 0) const {
    std::vector<std::string> texts;
    for (const ListRow& row : f.controls.ListView1.rows)
      texts.push_back(row.columns.at(column));
    return texts;
  }
  void SelectRows(frmOptions& f, std::initializer_list<std::size_t> rows) {
    for (std::size_t row : rows)
      f.SelectRow(row, true);
  }

  SimFolderSet folders;
  sim::SimDesktop desktop{folders.folders};
  sim::SimFiles& files = desktop.files;
  sim::SimSettingsStore& settings = desktop.settings;
  sim::SimShell& shell = desktop.shell;
  AnnouncingWindow window{desktop.trace};
  AppState state;
  SettingsDialog dialog{state,
                        DialogServices{settings, files, desktop.sound, desktop.messageBoxes, shell,
                                       desktop.fileDialogs, kAppFolder},
                        window};
};

}  // namespace velmox::test
