#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/files.h"
#include "core/site_list.h"
#include "core/sites_file_state.h"

namespace velmox {

// servers.lst in the application folder: one record `"host",#TRUE#` or `"host",#FALSE#` per
// line, each line ended by CR LF.
std::string SitesFilePath(const std::string& applicationFolder);

// False for a host the record cannot hold: one with a double quote (it would end the quoted
// field early), a CR or an LF (it would end the record). Such a host is never written or added.
bool IsRecordableHost(std::string_view host) noexcept;

// One line of servers.lst, without its line end. A record that cannot be read completely gives
// what was read before the fault: an unread host is empty, an unread mark false.
SiteEntry ReadSiteRecord(std::string_view line);
// The whole file: one element per line, at least one element. The records may stand behind a
// UTF-8 or UTF-16 byte-order mark, as an editor saves them.
std::vector<SiteEntry> ReadSitesText(std::string_view bytes);
// The file's bytes for `sites`: the recordable non-free entries in list order.
std::string WriteSitesText(const SiteList& sites);
// Whether `bytes` is exactly what WriteSitesText gives for the list read from them.
bool IsSitesTextAsWritten(std::string_view bytes);

// Loads servers.lst into `sites`, replacing what was there, and notes in `onDisk` what was read.
// A missing, unreadable or empty file gives one free entry. Never fails.
void SetUpBlockedHosts(Files& files, const std::string& applicationFolder, SiteList& sites,
                       SitesFileState& onDisk);

// Writes the list to servers.lst whole. The file on disk is always the old list or the new one.
// A file whose loss would lose something the list in memory does not hold is first kept as a
// copy, and the desktop told of it: one that could not be read at start-up, one changed since
// this run read or wrote it, one Velmox would not have written (edited by hand). The copy is
// servers.lst.bak, or a fresh name when this run made that one already; when the copy cannot be
// made, the list is not saved. Failures are not reported; the list in memory is never changed.
void RecordBlockedHosts(Files& files, const std::string& applicationFolder, const SiteList& sites,
                        SitesFileState& onDisk);

}  // namespace velmox
