#include "platform/win32/win_settings_window.h"

#include "platform/win32/win_api.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/sim_dialogs.h"
#include "platform/sim/sim_services.h"
#include "platform/win32/registry_store.h"
#include "platform/win32/resource_ids.h"
#include "platform/win32/win_files.h"
#include "ui/settings_dialog/frm_options.h"
#include "win32/find_control.h"
#include "win32/win_test_support.h"

namespace velmox::win32 {
namespace {

// The dialog model bound to the real window. The settings go under a root of the test's own,
// the application folder is a fresh one, and the simulated desktop's services record what the
// dialog asks of the shell, the sound, message boxes and the file dialog.
class SettingsWindowTest : public ::testing::Test {
 protected:
  SettingsWindowTest() {
    state.OptionValues.BlinkLightBulb = true;
    state.OptionValues.LinkTarget = "_blank";
    state.OptionValues.BlockByDefault = true;
    state.OptionValues.SoundFileName = "C:\\Velmox\\sounds\\cork.wav";
    state.Sites.Append({"b.example.com", false});
    state.Sites.Append({"a.example.com", true});
  }
  ~SettingsWindowTest() override {
    if (dialog.Loaded()) dialog.CloseWindow();
    RegDeleteTreeA(HKEY_CURRENT_USER, root.c_str());
  }

  void Open() {
    window.Create(dialog);
    dialog.Form_Load();
    window.Show();
  }
  HWND Frame() { return reinterpret_cast<HWND>(window.Handle()); }
  HWND Find(int id) { return test::FindControl(Frame(), id); }
  bool Checked(int id) { return SendMessageA(Find(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
  HWND PageOf(int id) { return GetParent(Find(id)); }
  int PageLeft(int id) {
    RECT box{};
    GetWindowRect(PageOf(id), &box);
    MapWindowPoints(nullptr, Frame(), reinterpret_cast<POINT*>(&box), 2);
    return box.left;
  }
  std::string RowText(int row, int column) {
    char text[128] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(Find(IDC_LISTVIEW1), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }

  // The user clicks the header of the list's `column`, as the list tells its parent.
  void ClickColumn(int column) {
    HWND list = Find(IDC_LISTVIEW1);
    NMLISTVIEW click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = IDC_LISTVIEW1;
    click.hdr.code = LVN_COLUMNCLICK;
    click.iSubItem = column;
    SendMessageA(GetParent(list), WM_NOTIFY, IDC_LISTVIEW1, reinterpret_cast<LPARAM>(&click));
  }

  std::string Stored(const char* key) {
    return settings.GetSetting("Velmox", "Options", key, "<missing>");
  }

  AppState state;
  std::string root = "Software\\VelmoxTest" + std::to_string(GetCurrentProcessId());
  RegistryStore settings{root};
  test::TempFolder folder;
  WinFiles files;
  sim::Trace trace{nullptr};
  sim::SimSound sound{trace, files};
  sim::SimMessageBoxes boxes{trace};
  sim::SimShell shell{trace};
  sim::SimFileDialogs fileDialogs{trace};
  WinSettingsWindow window;
  frmOptions dialog{
      state, DialogServices{settings, files, sound, boxes, shell, fileDialogs, folder.Path()},
      window};
};

TEST_F(SettingsWindowTest, AFreshDialogShowsTheModelOnTheOptionsPageWithApplyDisabled) {
  Open();
  char caption[64] = {};
  GetWindowTextA(Frame(), caption, sizeof caption);
  EXPECT_STREQ("Velmox Settings", caption);
  EXPECT_TRUE(Checked(IDC_XBLINK));
  EXPECT_FALSE(Checked(IDC_XCLOSE));
  EXPECT_TRUE(Checked(IDC_XTARGETBLANK));
  EXPECT_FALSE(Checked(IDC_XTARGETTOP));
  EXPECT_TRUE(Checked(IDC_XBLOCKBYDEFAULT1));
  EXPECT_FALSE(IsWindowEnabled(Find(IDC_CMDAPPLY)));
  EXPECT_FALSE(IsWindowEnabled(Find(IDC_FILENAMETEXT)));
  EXPECT_EQ(0, TabCtrl_GetCurSel(Find(IDC_TBSOPTIONS)));
  // The shown page sits inside the dialog; the others are moved out of sight and disabled.
  EXPECT_GT(PageLeft(IDC_XRUN), 0);
  EXPECT_LT(PageLeft(IDC_XIGNORELOCAL), -1000);
  EXPECT_FALSE(IsWindowEnabled(PageOf(IDC_XIGNORELOCAL)));
  EXPECT_FALSE(IsWindowVisible(Find(IDC_XMENUBAR)));
}

TEST_F(SettingsWindowTest, AClickOnARealControlGoesThroughTheModel) {
  Open();
  SendMessageA(Find(IDC_XCLOSE), BM_CLICK, 0, 0);
  EXPECT_EQ(kChecked, dialog.controls.XClose.value);
  EXPECT_TRUE(Checked(IDC_XCLOSE));
  EXPECT_TRUE(IsWindowEnabled(Find(IDC_CMDAPPLY)));

  SendMessageA(Find(IDC_XPLAYSOUND), BM_CLICK, 0, 0);
  EXPECT_TRUE(IsWindowEnabled(Find(IDC_FILENAMETEXT)));
  EXPECT_TRUE(IsWindowEnabled(Find(IDC_BROWSESOUND)));
}

TEST_F(SettingsWindowTest, TheTabStripSwitchesPages) {
  Open();
  SendMessageA(Find(IDC_TBSOPTIONS), WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(1, dialog.CurrentPage);
  EXPECT_GT(PageLeft(IDC_XIGNORELOCAL), 0);
  EXPECT_LT(PageLeft(IDC_XRUN), -1000);
  EXPECT_FALSE(IsWindowEnabled(PageOf(IDC_XRUN)));
  // A control of a page out of sight takes no click.
  SendMessageA(Find(IDC_XCLOSE), BM_CLICK, 0, 0);
  EXPECT_EQ(kUnchecked, dialog.controls.XClose.value);
}

TEST_F(SettingsWindowTest, TheWebsiteListShowsTheRowsAndSortsByTheClickedColumn) {
  Open();
  HWND list = Find(IDC_LISTVIEW1);
  ASSERT_EQ(2, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_EQ("a.example.com", RowText(0, 0));
  EXPECT_EQ("Disallowed", RowText(0, 1));

  ClickColumn(1);
  EXPECT_EQ("b.example.com", RowText(0, 0));
  EXPECT_EQ("Allowed", RowText(0, 1));

  // Selecting a row in the real list selects it in the model.
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED;
  item.state = LVIS_SELECTED;
  SendMessageA(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&item));
  EXPECT_TRUE(dialog.controls.ListView1.rows[1].selected);
}

// The list keeps its own keyboard state through the model's changes: a rebuild would lose the
// focused row (Down would then start from the top) and the scroll position.
TEST_F(SettingsWindowTest, TheWebsiteListKeepsFocusSelectionAndScrollThroughChanges) {
  for (int i = 10; i < 38; ++i) {
    std::string host = "s";
    host += std::to_string(i) + ".example.com";
    state.Sites.Append({host, i % 2 == 0});
  }
  Open();
  for (int tab = 0; tab < 3; ++tab)
    SendMessageA(Find(IDC_TBSOPTIONS), WM_KEYDOWN, VK_RIGHT, 0);  // to "Websites"
  HWND list = Find(IDC_LISTVIEW1);
  ASSERT_EQ(30, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  const auto focused = [&] { return SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED); };
  const auto selectedRows = [&] {
    std::vector<int> rows;
    for (int row = -1;
         (row = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, row, LVNI_SELECTED))) >= 0;) {
      rows.push_back(row);
    }
    return rows;
  };
  const auto modelRows = [&] {
    std::vector<int> rows;
    const auto& model = dialog.controls.ListView1.rows;
    for (std::size_t row = 0; row < model.size(); ++row) {
      if (model[row].selected) rows.push_back(static_cast<int>(row));
    }
    return rows;
  };

  // A click on row 3 as the list makes it: selected and focused; Down moves both to row 4.
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, 3, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(3, focused());
  SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(4, focused());
  EXPECT_EQ(std::vector<int>{4}, selectedRows());
  EXPECT_EQ(std::vector<int>{4}, modelRows());

  // Scrolled down, then reordered by the verdict column: the rows are rewritten in place, the
  // scroll position stays, the focus follows its site and the selection is the model's.
  SendMessageA(list, LVM_ENSUREVISIBLE, 29, FALSE);
  const LRESULT top = SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
  ASSERT_GT(top, 0);
  const std::string site = RowText(4, 0);
  ClickColumn(1);
  EXPECT_EQ(top, SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  ASSERT_GE(focused(), 0);
  EXPECT_EQ(site, RowText(static_cast<int>(focused()), 0));
  EXPECT_EQ(modelRows(), selectedRows());
  for (int row = 0; row < 30; ++row) {
    const auto& model = dialog.controls.ListView1.rows[static_cast<std::size_t>(row)];
    EXPECT_EQ(model.columns[0], RowText(row, 0));
    EXPECT_EQ(model.columns[1], RowText(row, 1));
  }

  // Deleting the selected site leaves one row fewer, and the others as they were.
  SendMessageA(Find(IDC_CMDDELETE), BM_CLICK, 0, 0);
  EXPECT_EQ(29, SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  EXPECT_TRUE(selectedRows().empty());
  EXPECT_EQ(dialog.controls.ListView1.rows.back().columns[0], RowText(28, 0));
}

TEST_F(SettingsWindowTest, OkStoresTheOptionsAndTakesTheWindowAway) {
  Open();
  SendMessageA(Find(IDC_XCLOSE), BM_CLICK, 0, 0);
  HWND frame = Frame();
  SendMessageA(Find(IDC_CMDOK), BM_CLICK, 0, 0);
  EXPECT_FALSE(dialog.Loaded());
  EXPECT_FALSE(IsWindow(frame));
  EXPECT_EQ("True", Stored("AutoClose"));
  EXPECT_EQ("_blank", Stored("LinkTarget"));
}

TEST_F(SettingsWindowTest, F1ReachesTheDialogBeforeTheFocusedControl) {
  Open();
  SendMessageA(Find(IDC_TBSOPTIONS), WM_KEYDOWN, VK_RIGHT, 0);  // "Advanced Options"
  MSG key{Find(IDC_XIGNORELOCAL), WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
  EXPECT_TRUE(window.PreTranslate(key));
  ASSERT_EQ(1u, shell.calls.size());
  EXPECT_EQ(folder.File("help\\advancedoptions.htm"), shell.calls[0].target);
  EXPECT_EQ(window.Handle(), shell.calls[0].window);

  MSG elsewhere{nullptr, WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
  EXPECT_FALSE(window.PreTranslate(elsewhere));
  EXPECT_EQ(1u, shell.calls.size());
}

TEST_F(SettingsWindowTest, ToolTipsComeFromTheModel) {
  Open();
  NMTTDISPINFOA request{};
  request.hdr.code = TTN_GETDISPINFOA;
  request.uFlags = TTF_IDISHWND;
  request.hdr.idFrom = reinterpret_cast<UINT_PTR>(Find(IDC_CMDALLOW));
  SendMessageA(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
  EXPECT_STREQ("Pop-ups will always be allowed for these website(s)", request.lpszText);

  request.uFlags = 0;
  request.hdr.idFrom = 3;  // the "Websites" tab
  SendMessageA(Frame(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&request));
  EXPECT_STREQ("View List of Websites with Allowed/Disallowed Pop-Ups", request.lpszText);
}

TEST_F(SettingsWindowTest, TheCloseBoxUnloadsAsCancelDoes) {
  Open();
  SendMessageA(Find(IDC_XCLOSE), BM_CLICK, 0, 0);
  SendMessageA(Frame(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(dialog.Loaded());
  EXPECT_EQ("False", Stored("AutoClose"));
}

}  // namespace
}  // namespace velmox::win32
