#include "ui/settings_dialog/frm_options.h"

// The Websites page: the rows show the sites, the actions edit WorkingSites. A row's text is
// the only link to its entry: the first entry with exactly that host.
namespace velmox {
namespace {

const char* VerdictText(bool blocked) {
  return blocked ? "Disallowed" : "Allowed";
}

SiteEntry* FirstEntryFor(std::vector<SiteEntry>& sites, const std::string& host) {
  for (SiteEntry& entry : sites) {
    if (entry.Host == host) return &entry;
  }
  return nullptr;
}

}  // namespace

void frmOptions::RefreshListView() {
  ListView& list = controls.ListView1;
  list.rows.clear();
  for (const SiteEntry& entry : state_.Sites.Entries()) {
    if (entry.Host.empty()) continue;
    list.rows.push_back(ListRow{{entry.Host, VerdictText(entry.Blocked)}, false});
  }
  SortRows(list);
  Notify(list.name);
}

void frmOptions::SetVerdict(bool blocked) {
  EnableApply();
  ListView& list = controls.ListView1;
  for (ListRow& row : list.rows) {
    if (!row.selected) continue;
    if (SiteEntry* entry = FirstEntryFor(WorkingSites, row.columns.at(0))) entry->Blocked = blocked;
    row.columns.resize(2);
    row.columns[1] = VerdictText(blocked);
  }
  SortRows(list);
  Notify(list.name);
}

void frmOptions::CmdAllow_Click() {
  SetVerdict(false);
}

void frmOptions::CmdDisallow_Click() {
  SetVerdict(true);
}

void frmOptions::CmdDelete_Click() {
  EnableApply();
  auto& rows = controls.ListView1.rows;
  // After a removal the same position holds the next row.
  for (std::size_t i = 0; i < rows.size();) {
    if (!rows[i].selected) {
      ++i;
      continue;
    }
    if (SiteEntry* entry = FirstEntryFor(WorkingSites, rows[i].columns.at(0))) entry->Host.clear();
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(i));
  }
  Notify(controls.ListView1.name);
}

void frmOptions::ListView1_KeyDown(int keyCode, int) {
  if (keyCode == kKeyDelete) CmdDelete_Click();
}

void frmOptions::ListView1_ColumnClick(int columnPosition) {
  ListView& list = controls.ListView1;
  if (columnPosition < 1 || columnPosition > static_cast<int>(list.columns.size())) return;
  list.sortKey = columnPosition - 1;
  SortRows(list);
  Notify(list.name);
}

}  // namespace velmox
