#include "platform/win32/settings_controls.h"

#include "platform/win32/resource_ids.h"

namespace velmox::win32 {
namespace {

constexpr Binding kBindings[] = {
    {"cmdOK", IDC_CMDOK, -1},
    {"cmdCancel", IDC_CMDCANCEL, -1},
    {"cmdApply", IDC_CMDAPPLY, -1},
    {"Frame1", IDC_FRAME1, 0},
    {"XRun", IDC_XRUN, 0},
    {"XClose", IDC_XCLOSE, 0},
    {"Frame4", IDC_FRAME4, 0},
    {"Label16", IDC_LABEL16, 0},
    {"XBlink", IDC_XBLINK, 0},
    {"Picture1", IDC_PICTURE1, 0},
    {"XPlaySound", IDC_XPLAYSOUND, 0},
    {"FileNameText", IDC_FILENAMETEXT, 0},
    {"PlaySound", IDC_PLAYSOUND, 0},
    {"BrowseSound", IDC_BROWSESOUND, 0},
    {"fraSample2", IDC_FRASAMPLE2, 1},
    {"XIgnoreLocal", IDC_XIGNORELOCAL, 1},
    {"Frame3", IDC_FRAME3, 1},
    {"Label2", IDC_LABEL2, 1},
    {"Label3", IDC_LABEL3, 1},
    {"XTargetTop", IDC_XTARGETTOP, 1},
    {"XTargetBlank", IDC_XTARGETBLANK, 1},
    {"Frame2", IDC_FRAME2, 1},
    {"Label1", IDC_LABEL1, 1},
    {"XBlockByDefault1", IDC_XBLOCKBYDEFAULT1, 1},
    {"XBlockByDefault2", IDC_XBLOCKBYDEFAULT2, 1},
    {"fraSample1", IDC_FRASAMPLE1, 2},
    {"Label17", IDC_LABEL17, 2},
    {"XTheaterMode", IDC_XTHEATERMODE, 2},
    {"XFullScreen", IDC_XFULLSCREEN, 2},
    {"XStatusBar", IDC_XSTATUSBAR, 2},
    {"XToolBar", IDC_XTOOLBAR, 2},
    {"Label18", IDC_LABEL18, 2},
    {"XMenuBar", IDC_XMENUBAR, 2},
    {"fraSample3", IDC_FRASAMPLE3, 3},
    {"ListView1", IDC_LISTVIEW1, 3},
    {"CmdDelete", IDC_CMDDELETE, 3},
    {"CmdAllow", IDC_CMDALLOW, 3},
    {"CmdDisallow", IDC_CMDDISALLOW, 3},
    {"Image1", IDC_IMAGE1, 4},
    {"Label4", IDC_LABEL4, 4},
    {"Label5", IDC_LABEL5, 4},
    {"Label14", IDC_LABEL14, 4},
    {"Label15", IDC_LABEL15, 4},
    {"Label9", IDC_LABEL9, 4},
    {"Label6", IDC_LABEL6, 4},
    {"Label11", IDC_LABEL11, 4},
    {"Label8", IDC_LABEL8, 4},
    {"Label10", IDC_LABEL10, 4},
    {"Label7", IDC_LABEL7, 4},
};

}  // namespace

const Binding* BindingOf(int id) {
  for (const Binding& b : kBindings) {
    if (b.id == id) return &b;
  }
  return nullptr;
}

const Binding* BindingOf(std::string_view name) {
  for (const Binding& b : kBindings) {
    if (name == b.name) return &b;
  }
  return nullptr;
}

int PageIndex(std::string_view name) {
  if (name.size() != 13 || name.substr(0, 11) != "picOptions(") return -1;
  const int index = name[11] - '0';
  return index >= 0 && index < 5 ? index : -1;
}

std::string WindowText(HWND window) {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(window)) + 1, '\0');
  const int length = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  return text;
}

void SetTextIfChanged(HWND window, const std::string& text) {
  if (WindowText(window) != text) SetWindowTextA(window, text.c_str());
}

}  // namespace velmox::win32
