#include "ui/settings_dialog/controls.h"

#include <algorithm>
#include <cctype>

namespace velmox {
namespace {

bool TextLess(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(
      a.begin(), a.end(), b.begin(), b.end(),
      [](unsigned char x, unsigned char y) { return std::tolower(x) < std::tolower(y); });
}

const std::string& Cell(const ListRow& row, int column) {
  static const std::string empty;
  if (column < 0 || static_cast<std::size_t>(column) >= row.columns.size()) return empty;
  return row.columns[static_cast<std::size_t>(column)];
}

}  // namespace

void SortRows(ListView& list) {
  const int key = list.sortKey;
  std::stable_sort(list.rows.begin(), list.rows.end(), [key](const ListRow& a, const ListRow& b) {
    return TextLess(Cell(a, key), Cell(b, key));
  });
}

}  // namespace velmox
