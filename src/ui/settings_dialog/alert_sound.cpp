#include "core/failure.h"
#include "core/file_exists.h"
#include "ui/settings_dialog/frm_options.h"

// The alert sound controls: on or off, the wave file's path, Browse and Play Sound.
namespace velmox {
namespace {

std::string TrimSpaces(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

// The path stays visible, greyed, while the sound is off.
void frmOptions::ApplySoundRule() {
  const bool on = controls.XPlaySound.value != kUnchecked;
  Control& text = controls.FileNameText;
  if (text.backColour != (on ? kColorWindow : kColorBtnFace)) {
    text.backColour = on ? kColorWindow : kColorBtnFace;
    Notify(text.name);
  }
  SetEnabled(text, on);
  SetEnabled(controls.PlaySoundButton, on);
  SetEnabled(controls.BrowseSound, on);
}

void frmOptions::XPlaySound_Click() {
  ApplySoundRule();
  EnableApply();
}

void frmOptions::FileNameText_Change() {
  EnableApply();
}

void frmOptions::FileNameText_Validate() {
  SetText(controls.FileNameText, TrimSpaces(controls.FileNameText.text));
}

void frmOptions::BrowseSound_Click() {
  SkipOnFailure([&] {
    CommonDialog& dialog = controls.SoundDialog;
    dialog.fileName = controls.FileNameText.text;
    FileOpenRequest request;
    request.owner = TrapOr<std::uintptr_t>(0, [&] { return window_.Handle(); });
    request.title = dialog.title;
    request.filter = dialog.filter;
    request.defaultExtension = dialog.defaultExtension;
    request.initialFolder = dialog.initialFolder;
    request.fileName = dialog.fileName;
    request.flags = dialog.flags;
    const auto choice = services_.fileDialogs.ShowOpen(request);
    // The dialog's message loop may have closed Velmox: a choice for an unloaded dialog is dropped.
    if (!loaded_) return;
    dialog.fileName = choice ? choice->fileName : "";
    dialog.fileTitle = choice ? choice->fileTitle : "";
    if (dialog.fileName.empty()) return;
    // Setting the path is a change, also when the same file was chosen again.
    if (controls.FileNameText.text == dialog.fileName) {
      RaiseChange(controls.FileNameText);
    } else {
      SetText(controls.FileNameText, dialog.fileName);
    }
    // The next Browse starts in the chosen file's folder (with its trailing backslash).
    if (dialog.fileTitle.size() <= dialog.fileName.size())
      dialog.initialFolder =
          dialog.fileName.substr(0, dialog.fileName.size() - dialog.fileTitle.size());
  });
}

void frmOptions::PlaySound_Click() {
  const std::string name = TrimSpaces(controls.FileNameText.text);
  if (name.empty()) return;
  if (FileExists(services_.files, name)) {
    SkipOnFailure([&] { services_.sound.sndPlaySoundA("", Sound::kAsync); });
    SkipOnFailure([&] { services_.sound.sndPlaySoundA(name, Sound::kAsync | Sound::kNoDefault); });
    return;
  }
  SkipOnFailure([&] {
    const auto owner = TrapOr<std::uintptr_t>(0, [&] { return window_.Handle(); });
    services_.messageBoxes.MessageBoxA(
        owner, "The specified sound file, \"" + name + "\", could not be found.", "Sound Not Found",
        MessageBoxes::kOk | MessageBoxes::kIconExclamation);
  });
}

}  // namespace velmox
