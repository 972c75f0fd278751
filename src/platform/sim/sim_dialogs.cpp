#include "platform/sim/sim_dialogs.h"

namespace velmox::sim {

void SimDialogWindow::Show() {
  shown_ = true;
  trace_.Line("settings", "the Settings dialog opens");
}

void SimDialogWindow::BringToFront() {
  ++timesBroughtToFront;
  trace_.Line("settings", "the Settings dialog comes to the front");
}

void SimDialogWindow::Destroy() {
  if (shown_) trace_.Line("settings", "the Settings dialog closes");
  shown_ = false;
  dialog_ = nullptr;
}

std::optional<FileOpenChoice> SimFileDialogs::ShowOpen(const FileOpenRequest& request) {
  shown.push_back(request);
  trace_.Line("file dialog", Quoted(request.title) + " opens in " + Quoted(request.initialFolder) +
                                 " with " + Quoted(request.fileName));
  open = request;
  std::optional<FileOpenChoice> choice;
  try {
    if (answer) choice = answer(request);
  } catch (...) {
    open.reset();
    throw;
  }
  open.reset();
  trace_.Line("file dialog", choice ? "chosen " + Quoted(choice->fileName) : "cancelled");
  return choice;
}

}  // namespace velmox::sim
