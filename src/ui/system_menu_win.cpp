#include "ui/system_menu.h"

#include <windows.h>

#include <QWidget>

namespace quintrel {

namespace {
// System command identifiers must keep their low four bits clear.
constexpr UINT kAboutCommand = 0x0010;
}  // namespace

bool AddAboutItemToSystemMenu(QWidget& window, const QString& text) {
  HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
  if (menu == nullptr || text.isEmpty()) return false;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kAboutCommand, reinterpret_cast<LPCWSTR>(text.utf16()));
  return true;
}

bool IsAboutSystemCommand(const QByteArray& eventType, void* message) {
  if (eventType != "windows_generic_MSG") return false;
  const MSG* msg = static_cast<const MSG*>(message);
  return msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == kAboutCommand;
}

}  // namespace quintrel
