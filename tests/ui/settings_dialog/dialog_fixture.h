#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/app_state.h"
#include "support/memory_files.h"
#include "support/recording_services.h"
#include "ui/settings_dialog/settings_dialog.h"

namespace velmox {

inline void PrintTo(const SiteEntry& entry, std::ostream* os) {
  *os << "{\"" << entry.Host << "\", " << (entry.Blocked ? "blocked" : "allowed") << "}";
}

}  // namespace velmox

namespace velmox::test {

inline constexpr std::uintptr_t kDialogHandle = 0x5150;

// The desktop's side of the dialog: records what the dialog asks of its window and which
// controls it announced as changed.
class FakeDialogWindow : public SettingsDialogWindow {
 public:
  int created = 0, shown = 0, centred = 0;
  std::vector<std::string> changes;

  void Create(frmOptions& dialog) override {
    ++created;
    dialog.onChanged = [this](std::string_view name) { changes.emplace_back(name); };
  }
  std::uintptr_t Handle() override { return kDialogHandle; }
  void CenterOnScreen() override { ++centred; }
  void Show() override { ++shown; }
  void BringToFront() override {}
  void Destroy() override {}
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

  MemoryFiles files;
  MemorySettings settings;
  RecordingSound sound;
  RecordingMessageBoxes messageBoxes;
  RecordingShell shell;
  ScriptedFileDialogs fileDialogs;
  FakeDialogWindow window;
  AppState state;
  SettingsDialog dialog{
      state, DialogServices{settings, files, sound, messageBoxes, shell, fileDialogs, kAppFolder},
      window};
};

}  // namespace velmox::test
