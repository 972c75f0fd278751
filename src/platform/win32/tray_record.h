#pragma once

#include "platform/win32/win_api.h"

#include <shellapi.h>

#include "core/notify_icon.h"

namespace velmox::win32 {

// The core's record in the platform's own structure. The core keeps the 32-bit layout's 88 as
// its size; the shell is given the first version's size on the architecture it runs on.
NOTIFYICONDATAA ToNotifyIconDataA(const NotifyIconData& record);

}  // namespace velmox::win32
