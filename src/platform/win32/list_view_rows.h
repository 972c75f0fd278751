#pragma once

#include "platform/win32/win_api.h"

#include "ui/settings_dialog/controls.h"

namespace velmox::win32 {

// Makes a report list view show the model's rows, touching only what differs: a cell whose text
// changed is rewritten, rows are added or removed at the end, and each row's selection is set
// to the model's. Nothing is rebuilt, so the keyboard's focus, the anchor of a Shift range and
// the scroll position stay; when the rows were reordered, the focus follows its row's text.
void ShowRows(HWND list, const ListView& model);

}  // namespace velmox::win32
