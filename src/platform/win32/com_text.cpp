#include "platform/win32/com_text.h"

#include <vector>

#include "platform/win32/win_error.h"

namespace velmox::win32 {

std::string ToAnsi(const wchar_t* text, int length) {
  if (!text || length == 0) return std::string();
  const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size <= 0) ThrowLastError();
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), size, nullptr, nullptr);
  return result;
}

ScopedBstr ToBstr(const std::string& text) {
  const int length = static_cast<int>(text.size());
  const int size =
      length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  ScopedBstr result(SysAllocStringLen(nullptr, static_cast<UINT>(size)));
  if (!result.Valid()) ThrowError(E_OUTOFMEMORY);
  if (size > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), length, result.Get(), size);
  return result;
}

const VARIANT& Unwrapped(const VARIANT& value) {
  constexpr int kMostLevels = 8;
  const VARIANT* source = &value;
  for (int level = 0; level < kMostLevels; ++level) {
    if (source->vt != (VT_BYREF | VT_VARIANT) || !source->pvarVal) break;
    source = source->pvarVal;
  }
  return *source;
}

std::string VariantText(const VARIANT& value) {
  const VARIANT* source = &Unwrapped(value);
  if (source->vt == VT_BSTR) return ToAnsi(source->bstrVal);
  ScopedVariant text;
  CheckHr(VariantChangeType(text.Get(), const_cast<VARIANT*>(source), 0, VT_BSTR));
  return ToAnsi((*text).bstrVal);
}

}  // namespace velmox::win32
