#pragma once

// Facts about the program shown to its users.
namespace AppInfo {
// The main window's caption, also the caption of the error box.
inline constexpr const char *title = "岚溪销售小票打印软件 V15.0(标准版)";
// The product's web address, shown in the status bar after login.
inline constexpr const char *webAddress = "www.lanxi-soft.cn";
// The name of the desktop shortcut.
inline constexpr const char *shortcutName = "岚溪销售小票打印软件(标准版)";
// The help file opened by F1, looked for in the data directory.
inline constexpr const char *helpFile = "使用帮助.chm";
} // namespace AppInfo
