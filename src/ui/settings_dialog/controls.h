#pragma once

#include <string>
#include <vector>

// The Settings dialog's controls as plain data. The dialog's handlers change them; a desktop
// draws them and feeds the user's input back through the dialog (frm_options.h).
namespace velmox {

// System colour indexes used as control backgrounds.
inline constexpr int kColorWindow = 5;    // COLOR_WINDOW
inline constexpr int kColorBtnFace = 15;  // COLOR_BTNFACE
inline constexpr int kNoColour = -1;      // the control's usual colour

// Check box values.
inline constexpr int kUnchecked = 0;
inline constexpr int kChecked = 1;
inline constexpr int kGrayed = 2;

// A Link is a label drawn in blue (RGB 0, 0, 255) underlined type that acts on a click.
enum class ControlKind {
  Page,
  Frame,
  Label,
  Link,
  Picture,
  CheckBox,
  OptionButton,
  TextBox,
  Button
};

struct Control {
  std::string name;  // the dialog's name for it: "XBlink", "picOptions(2)", "PlaySound"
  ControlKind kind = ControlKind::Label;
  std::string parent;   // the frame or page it sits in; empty for the form itself
  std::string caption;  // also the text of labels and links
  std::string toolTip;
  std::string group;  // option buttons: the buttons of one group share it
  bool enabled = true;
  bool visible = true;
  int value = kUnchecked;  // check box: 0, 1, 2; option button: 1 when selected
  std::string text;        // text box
  int backColour = kNoColour;
  double fontPoints = 0;  // 0: the dialog's font
  // Twips; only where the layout is fixed by behaviour (the pages), otherwise 0.
  int left = 0;
  int width = 0;
  int height = 0;
};

struct Tab {
  std::string caption;
  std::string key;
  std::string toolTip;
};

struct TabStrip {
  std::string name = "tbsOptions";
  std::vector<Tab> tabs;
  int selected = 1;  // position of the selected tab, from 1
};

struct ListColumn {
  std::string header;
  int width = 0;  // twips
};

struct ListRow {
  std::vector<std::string> columns;  // column 0 is the row's text
  bool selected = false;
};

// A report-style list view with several rows selectable. Its rows are always kept in ascending
// text order of the sort key's column.
struct ListView {
  std::string name;
  std::string toolTip;
  std::vector<ListColumn> columns;
  std::vector<ListRow> rows;
  int sortKey = 0;  // index of the column the rows are sorted by
};

// Re-sorts the rows by the sort key's column: case-insensitive text order; rows that compare
// equal keep their order.
void SortRows(ListView& list);

// The invisible file-open common dialog with its properties.
struct CommonDialog {
  std::string name;
  std::string title;
  std::string filter;
  std::string defaultExtension;
  unsigned flags = 0;
  std::string initialFolder;
  std::string fileName;
  std::string fileTitle;
};

}  // namespace velmox
