#pragma once

// The Windows headers, included once for the whole Windows layer. The core avoids identifiers
// that are Win32 macros, so its headers read the same beside <windows.h> as without it.
#include <windows.h>
