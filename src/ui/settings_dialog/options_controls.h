#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "ui/settings_dialog/controls.h"

namespace velmox {

// Every control of the Settings dialog, named as the dialog names them. The button that plays
// the sound is `PlaySoundButton` here but keeps its name "PlaySound".
struct OptionsControls {
  TabStrip tbsOptions;
  std::array<Control, 5> picOptions;

  // Page 0, "Options".
  Control Frame1, XRun, XClose;
  Control Frame4, Label16, XBlink, Picture1, XPlaySound, FileNameText, PlaySoundButton, BrowseSound;
  // Page 1, "Advanced Options".
  Control fraSample2, XIgnoreLocal;
  Control Frame3, Label2, Label3, XTargetTop, XTargetBlank;
  Control Frame2, Label1, XBlockByDefault1, XBlockByDefault2;
  // Page 2, "Internet Explorer".
  Control fraSample1, Label17, XTheaterMode, XFullScreen, XStatusBar, XToolBar, Label18, XMenuBar;
  // Page 3, "Websites".
  Control fraSample3;
  ListView ListView1;
  Control CmdDelete, CmdAllow, CmdDisallow;
  // Page 4, "About".
  Control Image1, Label4, Label5, Label14, Label15, Label9, Label6, Label11, Label8, Label10,
      Label7;

  Control cmdOK, cmdCancel, cmdApply;
  CommonDialog SoundDialog;

  OptionsControls();

  // Every Control (not the tab strip, list view or common dialog), in layout order.
  std::vector<Control*> All();
  Control* Find(std::string_view name);
};

// The page width and height, in twips, and the left position of a shown and a hidden page.
inline constexpr int kPageWidth = 5685;
inline constexpr int kPageHeight = 3780;
inline constexpr int kPageShownLeft = 210;
inline constexpr int kPageHiddenLeft = -20000;

}  // namespace velmox
