#include "ui/settings_dialog/options_controls.h"

#include "ui/settings_dialog/about_page.h"

namespace velmox {
namespace {

Control Make(ControlKind kind, std::string name, std::string parent, std::string caption) {
  Control c;
  c.kind = kind;
  c.name = std::move(name);
  c.parent = std::move(parent);
  c.caption = std::move(caption);
  return c;
}

Control Option(std::string name, std::string frame, std::string caption) {
  Control c = Make(ControlKind::OptionButton, std::move(name), frame, std::move(caption));
  c.group = std::move(frame);
  return c;
}

Control Disabled(Control c) {
  c.enabled = false;
  return c;
}

Control WithTip(Control c, std::string toolTip) {
  c.toolTip = std::move(toolTip);
  return c;
}

}  // namespace

OptionsControls::OptionsControls() {
  using K = ControlKind;
  tbsOptions.tabs = {
      {"Options", "Group1", "Set Velmox's Basic Options"},
      {"Advanced Options", "Group1.1", "Set Advanced Options"},
      {"Internet Explorer", "Group2", "Set Options Relating to Internet Explorer"},
      {"Websites", "Group3", "View List of Websites with Allowed/Disallowed Pop-Ups"},
      {"About", "Group4", "About Velmox"},
  };
  for (std::size_t i = 0; i < picOptions.size(); ++i) {
    Control& page = picOptions[i];
    page = Make(K::Page, "picOptions(" + std::to_string(i) + ")", "", "");
    page.left = kPageHiddenLeft;
    page.width = kPageWidth;
    page.height = kPageHeight;
    page.enabled = false;
  }

  const std::string page0 = "picOptions(0)";
  Frame1 = Make(K::Frame, "Frame1", page0, "Starting Velmox");
  XRun = Make(K::CheckBox, "XRun", "Frame1", "Run Velmox whenever Internet Explorer runs");
  XClose = Make(K::CheckBox, "XClose", "Frame1",
                "Close Velmox when all instances of Internet Explorer have closed");
  Frame4 = Make(K::Frame, "Frame4", page0, "Pop-up Window Alert");
  Label16 =
      Make(K::Label, "Label16", "Frame4", "When Velmox prevents a pop-up window from appearing:");
  XBlink =
      Make(K::CheckBox, "XBlink", "Frame4", "\"Light up\" the light bulb icon in the system tray");
  Picture1 = Make(K::Picture, "Picture1", "Frame4", "");
  XPlaySound = Make(K::CheckBox, "XPlaySound", "Frame4", "Play a sound:");
  FileNameText = Disabled(Make(K::TextBox, "FileNameText", "Frame4", ""));
  FileNameText.backColour = kColorBtnFace;
  PlaySoundButton = Disabled(Make(K::Button, "PlaySound", "Frame4", "Play Sound"));
  BrowseSound = Disabled(Make(K::Button, "BrowseSound", "Frame4", "Browse..."));

  const std::string page1 = "picOptions(1)";
  fraSample2 = Make(K::Frame, "fraSample2", page1, "Local HTML Pages");
  XIgnoreLocal = Make(K::CheckBox, "XIgnoreLocal", "fraSample2",
                      "Always allow pop-up windows when viewing local HTML pages");
  Frame3 = Make(K::Frame, "Frame3", page1, "Link Navigation");
  Label2 = Make(K::Label, "Label2", "Frame3", "(only applies to sites with pop-ups disallowed)");
  Label3 = Make(K::Label, "Label3", "Frame3",
                "When I click on a link that wants to open in a new window:");
  XTargetTop = Option("XTargetTop", "Frame3", "Open it in the current window");
  XTargetBlank = Option("XTargetBlank", "Frame3", "Open it in a new window");
  Frame2 = Make(K::Frame, "Frame2", page1, "Pop-Up Windows");
  Label1 = Make(K::Label, "Label1", "Frame2", "By default,");
  XBlockByDefault1 =
      Option("XBlockByDefault1", "Frame2", "Do not allow pop-up windows (recommended)");
  XBlockByDefault2 = Option("XBlockByDefault2", "Frame2", "Allow pop-up windows");

  const std::string page2 = "picOptions(2)";
  fraSample1 = Make(K::Frame, "fraSample1", page2, "Internet Explorer");
  Label17 = Make(K::Label, "Label17", "fraSample1", "New browser windows:");
  XTheaterMode =
      Make(K::CheckBox, "XTheaterMode", "fraSample1", "May not be opened in theater mode");
  XFullScreen =
      Make(K::CheckBox, "XFullScreen", "fraSample1", "May not be opened in full screen mode");
  XStatusBar = Make(K::CheckBox, "XStatusBar", "fraSample1", "Will always have a status bar");
  XToolBar = Make(K::CheckBox, "XToolBar", "fraSample1", "Will always have toolbars");
  Label18 = Make(K::Label, "Label18", "fraSample1",
                 "These options are useful for preventing websites that are allowed to open "
                 "pop-ups from opening pop-up windows that fill the screen, hide toolbars, etc.");
  // Not offered to the user: its value only passes through the dialog.
  XMenuBar =
      Disabled(Make(K::CheckBox, "XMenuBar", "fraSample1", "Always keep the menu bar visible"));
  XMenuBar.visible = false;

  const std::string page3 = "picOptions(3)";
  fraSample3 = Make(K::Frame, "fraSample3", page3, "Websites");
  ListView1.name = "ListView1";
  ListView1.toolTip = "List of websites for which pop-ups are specifically allowed/disallowed";
  ListView1.columns = {{"Site Name", 4095}, {"Pop-Ups", 1010}};
  CmdDelete = WithTip(Make(K::Button, "CmdDelete", "fraSample3", "Delete"),
                      "Remove website(s) from list (pop-ups will then be allowed/disallowed "
                      "based on the default setting)");
  CmdAllow = WithTip(Make(K::Button, "CmdAllow", "fraSample3", "Allow Pop-Ups"),
                     "Pop-ups will always be allowed for these website(s)");
  CmdDisallow = WithTip(Make(K::Button, "CmdDisallow", "fraSample3", "Disallow Pop-Ups"),
                        "Pop-ups will always be disallowed for these website(s)");

  const std::string page4 = "picOptions(4)";
  Image1 = Make(K::Picture, "Image1", page4, "");
  Label4 = Make(K::Label, "Label4", page4, about::kProductName);
  Label4.fontPoints = 13.5;
  Label5 = Make(K::Label, "Label5", page4, about::kVersionText);
  Label14 = Make(K::Label, "Label14", page4, "Press F1 for help, or");
  Label15 = Make(K::Link, "Label15", page4, "click here");
  Label9 = Make(K::Label, "Label9", page4, "Technical support:");
  Label6 = Make(K::Link, "Label6", page4, about::kSupportAddress);
  Label11 = Make(K::Label, "Label11", page4, about::kPublisherCaption);
  Label8 = Make(K::Link, "Label8", page4, about::kPublisherWebAddress);
  Label10 = Make(K::Label, "Label10", page4, "Velmox Website:");
  Label7 = Make(K::Link, "Label7", page4, about::kProductWebAddress);

  cmdOK = Make(K::Button, "cmdOK", "", "OK");
  cmdCancel = Make(K::Button, "cmdCancel", "", "Cancel");
  cmdApply = Disabled(Make(K::Button, "cmdApply", "", "Apply"));

  SoundDialog.name = "SoundDialog";
  SoundDialog.title = "Select Sound";
  SoundDialog.filter = "Sounds (*.wav)|*.wav";
  SoundDialog.defaultExtension = ".wav";
}

std::vector<Control*> OptionsControls::All() {
  std::vector<Control*> all;
  for (Control& page : picOptions)
    all.push_back(&page);
  for (Control* c : {&Frame1,           &XRun,
                     &XClose,           &Frame4,
                     &Label16,          &XBlink,
                     &Picture1,         &XPlaySound,
                     &FileNameText,     &PlaySoundButton,
                     &BrowseSound,      &fraSample2,
                     &XIgnoreLocal,     &Frame3,
                     &Label2,           &Label3,
                     &XTargetTop,       &XTargetBlank,
                     &Frame2,           &Label1,
                     &XBlockByDefault1, &XBlockByDefault2,
                     &fraSample1,       &Label17,
                     &XTheaterMode,     &XFullScreen,
                     &XStatusBar,       &XToolBar,
                     &Label18,          &XMenuBar,
                     &fraSample3,       &CmdDelete,
                     &CmdAllow,         &CmdDisallow,
                     &Image1,           &Label4,
                     &Label5,           &Label14,
                     &Label15,          &Label9,
                     &Label6,           &Label11,
                     &Label8,           &Label10,
                     &Label7,           &cmdOK,
                     &cmdCancel,        &cmdApply}) {
    all.push_back(c);
  }
  return all;
}

Control* OptionsControls::Find(std::string_view name) {
  for (Control* c : All()) {
    if (c->name == name) return c;
  }
  return nullptr;
}

}  // namespace velmox
