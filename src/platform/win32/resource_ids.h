#pragma once

// Resource numbers of Velmox.exe, shared by the resource script and the code.
#define VELMOX_ICON_ON 101
#define VELMOX_ICON_OFF 102
#define VELMOX_ICON_ALERT 103
