#include <windows.h>

#include <QWidget>
#include <string>

#include "SystemMenu.h"

namespace tavolex {

namespace {

// A command of the window's own: system commands keep the low four bits free, and the
// system's own start at 0xF000.
constexpr UINT kAboutCommand = 0x0010;

}  // namespace

bool AddAboutToSystemMenu(QWidget& window, const QString& caption) {
    HMENU menu = GetSystemMenu(reinterpret_cast<HWND>(window.winId()), FALSE);
    if (!menu) return false;
    const std::wstring text = caption.toStdWString();
    return AppendMenuW(menu, MF_SEPARATOR, 0, nullptr) &&
           AppendMenuW(menu, MF_STRING, kAboutCommand, text.c_str());
}

bool IsSystemMenuAbout(const QByteArray& eventType, const void* message) {
    if (eventType != "windows_generic_MSG" || !message) return false;
    const MSG& msg = *static_cast<const MSG*>(message);
    return msg.message == WM_SYSCOMMAND && (msg.wParam & 0xFFF0) == kAboutCommand;
}

}  // namespace tavolex
