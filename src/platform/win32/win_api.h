#pragma once

// The Windows headers, included once for the whole Windows layer. Some of their macros rename
// identifiers the core uses as plain C++ names; they are undone here so that a core header reads
// the same beside <windows.h> as without it.
#include <windows.h>

#ifdef ReplaceText
#undef ReplaceText  // commdlg.h's find-and-replace dialog; Files::ReplaceText is Velmox's own
#endif
