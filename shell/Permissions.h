#pragma once

#include <QString>

class QWidget;

inline constexpr const char *kAdministrator = "管理员";
inline constexpr const char *kOrdinaryUser = "普通用户";

// Applies a permission to the nine controls that carry it: the receipt number, shop
// name and remarks of the main window, the print content and the add/delete user
// buttons of the settings window, the delete button and menu item of the sales
// statistics. Any other permission text leaves them all usable.
void applyPermission(const QString &permission);

// An edit box editable with the window colour, or read-only with the button-face colour.
void setEditable(QWidget *box, bool editable);
