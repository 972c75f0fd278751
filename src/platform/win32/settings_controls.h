#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The Settings window's controls: which dialog control shows which control of the model, and
// their texts.
namespace velmox::win32 {

// Where one of the model's controls lives: its identifier and page (-1: on the frame).
struct Binding {
  const char* name;
  int id;
  int page;
};

// The binding of a dialog control's identifier, or of a model control's name; null for none.
const Binding* BindingOf(int id);
const Binding* BindingOf(std::string_view name);

// The page a model name "picOptions(i)" names, or -1.
int PageIndex(std::string_view name);

std::string WindowText(HWND window);
// Sets the text only when it differs, so that a control does not flicker or lose its caret.
void SetTextIfChanged(HWND window, const std::string& text);

}  // namespace velmox::win32
