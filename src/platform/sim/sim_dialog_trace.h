#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/sim/sim_trace.h"
#include "ui/settings_dialog/frm_options.h"

namespace velmox::sim {

// Watches the Settings dialog's controls and writes one trace line for each change a person
// would see: a box ticked, a button enabled, a page shown, the rows of the list. It compares each
// control the dialog names with its state when last seen, so that a notice without a change
// prints nothing.
class DialogTracer {
 public:
  DialogTracer(Trace& trace, frmOptions& dialog);

  // While quiet, changes are taken in without a line (the dialog's load).
  void SetQuiet(bool quiet);
  void Changed(std::string_view name);

 private:
  void TakeAll();

  Trace& trace_;
  frmOptions& dialog_;
  bool quiet_ = true;
  std::map<std::string, Control, std::less<>> seen_;
  std::string caption_;
  int selectedTab_ = 0;
  ListView list_;
};

// How the trace and the script name a list's rows: "a.example" Allowed (selected), ...
std::string DescribeRows(const ListView& list);
// The name of a system colour index the dialog uses: "5 (window)", "15 (button face)".
std::string ColourName(int colour);

}  // namespace velmox::sim
