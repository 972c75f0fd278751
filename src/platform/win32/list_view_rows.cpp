#include "platform/win32/list_view_rows.h"

#include <commctrl.h>

#include <string>

namespace velmox::win32 {
namespace {

constexpr int kLongestCell = 1024;

std::string CellText(HWND list, int row, int column) {
  char text[kLongestCell] = {};
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = kLongestCell;
  SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
  return text;
}

void SetCellText(HWND list, int row, int column, const std::string& text) {
  LVITEMA cell{};
  cell.iSubItem = column;
  cell.pszText = const_cast<char*>(text.c_str());
  SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&cell));
}

void SetRowState(HWND list, int row, UINT mask, UINT state) {
  LVITEMA item{};
  item.stateMask = mask;
  item.state = state;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int RowWithText(const ListView& model, const std::string& text) {
  for (std::size_t row = 0; row < model.rows.size(); ++row) {
    if (!model.rows[row].columns.empty() && model.rows[row].columns[0] == text) {
      return static_cast<int>(row);
    }
  }
  return -1;
}

// A list may scroll its focused row into sight; the user's scroll position is put back.
void KeepTopRow(HWND list, int top) {
  const int now = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  RECT row{};
  row.left = LVIR_BOUNDS;
  if (now == top || !SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) return;
  SendMessageA(list, LVM_SCROLL, 0, (top - now) * (row.bottom - row.top));
}

}  // namespace

void ShowRows(HWND list, const ListView& model) {
  const int wanted = static_cast<int>(model.rows.size());
  const int focused = static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
  const std::string focusedText = focused >= 0 ? CellText(list, focused, 0) : std::string();

  int shown = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  while (shown > wanted)
    SendMessageA(list, LVM_DELETEITEM, static_cast<WPARAM>(--shown), 0);
  for (; shown < wanted; ++shown) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = shown;
    item.pszText = const_cast<char*>("");
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }

  for (int row = 0; row < wanted; ++row) {
    const ListRow& data = model.rows[static_cast<std::size_t>(row)];
    for (std::size_t column = 0; column < data.columns.size(); ++column) {
      if (CellText(list, row, static_cast<int>(column)) != data.columns[column]) {
        SetCellText(list, row, static_cast<int>(column), data.columns[column]);
      }
    }
    const bool selected =
        SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED) != 0;
    if (selected != data.selected) {
      SetRowState(list, row, LVIS_SELECTED, data.selected ? LVIS_SELECTED : 0);
    }
  }

  if (focused < 0 || focusedText.empty()) return;
  const int follow = RowWithText(model, focusedText);
  if (follow < 0 || follow == focused) return;
  const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
  SetRowState(list, follow, LVIS_FOCUSED, LVIS_FOCUSED);
  SendMessageA(list, LVM_SETSELECTIONMARK, 0, follow);
  KeepTopRow(list, top);
}

}  // namespace velmox::win32
