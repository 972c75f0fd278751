#include "platform/win32/tray_record.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/win32/win_tray_shell.h"
#include "win32/win_test_support.h"

namespace velmox::win32 {
namespace {

NotifyIconData CoreRecord(const std::string& tip) {
  NotifyIconData record;
  record.cbSize = 88;
  record.hWnd = 0x1234;
  record.uID = 1;
  record.uFlags = kNotifyIconMessage | kNotifyIconIcon | kNotifyIconTip;
  record.uCallbackMessage = kMouseMove;
  record.hIcon = 0x5678;
  record.szTip.fill(' ');
  std::memcpy(record.szTip.data(), tip.data(), std::min<std::size_t>(tip.size(), 64));
  return record;
}

TEST(TrayRecordTest, TheShellGetsTheFirstVersionSizeOfThisArchitectureAndTheCoreFields) {
  std::string tip = "Velmox (On)";
  tip.push_back('\0');
  const NOTIFYICONDATAA data = ToNotifyIconDataA(CoreRecord(tip));
#ifdef _WIN64
  EXPECT_EQ(104u, data.cbSize);
#else
  EXPECT_EQ(88u, data.cbSize);
#endif
  EXPECT_EQ(reinterpret_cast<HWND>(0x1234), data.hWnd);
  EXPECT_EQ(1u, data.uID);
  EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP), data.uFlags);
  EXPECT_EQ(static_cast<UINT>(WM_MOUSEMOVE), data.uCallbackMessage);
  EXPECT_EQ(reinterpret_cast<HICON>(0x5678), data.hIcon);
  EXPECT_STREQ("Velmox (On)", data.szTip);
}

TEST(TrayRecordTest, ATipFillingAllSixtyFourBytesStillEndsThere) {
  const NOTIFYICONDATAA data = ToNotifyIconDataA(CoreRecord(std::string(70, 'x')));
  EXPECT_EQ(std::string(64, 'x'), std::string(data.szTip));
}

TEST(TrayShellTest, TheCallbackMessageHandsOnTheMouseMessageFromLParam) {
  WinTrayShell tray;
  std::vector<int> received;
  tray.SetCallback([&](int mouseMessage) { received.push_back(mouseMessage); });
  const HWND window = reinterpret_cast<HWND>(tray.CallbackWindow());
  ASSERT_NE(nullptr, window);
  SendMessageA(window, WM_MOUSEMOVE, 1, WM_RBUTTONUP);
  SendMessageA(window, WM_MOUSEMOVE, 1, WM_LBUTTONDBLCLK);
  SendMessageA(window, WM_MOUSEMOVE + 1, 1, WM_LBUTTONDOWN);  // not the callback message
  EXPECT_EQ((std::vector<int>{WM_RBUTTONUP, WM_LBUTTONDBLCLK}), received);
}

TEST(TrayShellTest, AFailingHandlerDoesNotUnwindThroughTheWindowProcedure) {
  WinTrayShell tray;
  int calls = 0;
  tray.SetCallback([&](int) {
    ++calls;
    throw std::runtime_error("handler failed");
  });
  SendMessageA(reinterpret_cast<HWND>(tray.CallbackWindow()), WM_MOUSEMOVE, 1, WM_LBUTTONUP);
  SendMessageA(reinterpret_cast<HWND>(tray.CallbackWindow()), WM_MOUSEMOVE, 1, WM_LBUTTONUP);
  EXPECT_EQ(2, calls);
}

TEST(TrayShellTest, TheThreeBulbsAreDistinctIconsFromTheResources) {
  WinTrayShell tray;
  const auto on = tray.PictureHandle(BulbPicture::On);
  const auto off = tray.PictureHandle(BulbPicture::Off);
  const auto alert = tray.PictureHandle(BulbPicture::Alert);
  EXPECT_NE(0u, on);
  EXPECT_NE(on, off);
  EXPECT_NE(off, alert);
  EXPECT_EQ(on, tray.PictureHandle(BulbPicture::On));
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(reinterpret_cast<HICON>(alert), &info));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

}  // namespace
}  // namespace velmox::win32
