#include "com_faces.h"

namespace standin {

HRESULT STDMETHODCALLTYPE NotImplemented() {
  return E_NOTIMPL;
}

BSTR ToBstr(const std::string& text) {
  const int length = static_cast<int>(text.size());
  const int size =
      length == 0 ? 0 : MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(size));
  if (result && size > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), length, result, size);
  return result;
}

std::string FromBstr(BSTR text) {
  const int length = static_cast<int>(SysStringLen(text));
  if (length == 0) return std::string();
  const int size = WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), size, nullptr, nullptr);
  return result;
}

std::optional<std::string> OptionalText(const VARIANT* value) {
  while (value && value->vt == (VT_BYREF | VT_VARIANT))
    value = value->pvarVal;
  if (!value || value->vt == VT_EMPTY || value->vt == VT_NULL || value->vt == VT_ERROR) {
    return std::nullopt;
  }
  VARIANT text;
  VariantInit(&text);
  if (FAILED(VariantChangeType(&text, const_cast<VARIANT*>(value), 0, VT_BSTR))) {
    return std::string("(unreadable)");
  }
  std::string result = FromBstr(text.bstrVal);
  VariantClear(&text);
  return result;
}

std::string PostDataText(const std::optional<std::string>& bytes) {
  if (!bytes) return "none";
  if (bytes->empty()) return "empty";
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char byte : *bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 15];
  }
  return hex;
}

}  // namespace standin
