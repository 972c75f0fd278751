#include "platform/sim/sim_dialogs.h"

#include <utility>

namespace velmox::sim {

SimDialogWindow::SimDialogWindow(Trace& trace) : trace_(trace) {}

SimDialogWindow::~SimDialogWindow() = default;

void SimDialogWindow::Create(frmOptions& dialog) {
  dialog_ = &dialog;
  focus.clear();
  tracer_ = std::make_unique<DialogTracer>(trace_, dialog);
  dialog.onChanged = [this](std::string_view name) {
    if (tracer_) tracer_->Changed(name);
  };
}

void SimDialogWindow::Show() {
  shown_ = true;
  // What the load set up is the dialog as it opens; from now on each change is traced.
  if (tracer_) tracer_->SetQuiet(false);
  trace_.Line("settings", "the Settings dialog opens");
}

void SimDialogWindow::BringToFront() {
  ++timesBroughtToFront;
  trace_.Line("settings", "the Settings dialog comes to the front");
}

void SimDialogWindow::Destroy() {
  if (shown_) trace_.Line("settings", "the Settings dialog closes");
  shown_ = false;
  if (dialog_ != nullptr) dialog_->onChanged = nullptr;
  tracer_.reset();
  dialog_ = nullptr;
  focus.clear();
}

std::optional<FileOpenChoice> SimFileDialogs::ShowOpen(const FileOpenRequest& request) {
  shown.push_back(request);
  trace_.Line("file dialog", Quoted(request.title) + " opens in " + Quoted(request.initialFolder) +
                                 " with " + Quoted(request.fileName));
  std::optional<FileOpenChoice> choice;
  {
    ModalWindow modal(enableOwner, request.owner);
    const auto outer = std::exchange(open, request);
    try {
      if (answer) choice = answer(request);
    } catch (...) {
      open = outer;
      throw;
    }
    open = outer;
  }
  trace_.Line("file dialog", choice ? "chosen " + Quoted(choice->fileName) : "cancelled");
  return choice;
}

}  // namespace velmox::sim
