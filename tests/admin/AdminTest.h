#pragma once

#include "TestEnv.h"

#include <QString>
#include <functional>

class QDialog;
class QWidget;

// The windows of the program with helpers for the settings window and its dialogs.
class AdminTest : public FormsTest {
protected:
    // Runs `open`, which shows `dialog` modally, and `inside` in the dialog's modal
    // loop. A dialog that `inside` left open is closed. Returns whether the dialog
    // was still open when `inside` ended; fails the test if it never showed.
    bool whileModal(QDialog *dialog, const std::function<void()> &open,
                    const std::function<void()> &inside);

    // Clicks a button as the user does.
    static void click(QWidget *button);

    // Logs in through the login window; true when the login was accepted.
    bool logIn(const QString &user, const QString &password);

    // A user row written directly into data.mdb, with its password hashed.
    void addUserRow(const QString &name, const QString &password, const QString &permission);
    // Creates every window anew, as a new start of the program does.
    static void restart();
    // Opens the settings window's lists again (after rows were written directly).
    void reloadSettings();

    // The texts of one column of a grid, row by row.
    static QStringList gridColumn(QWidget *grid, int column);
    // The items of a combo box.
    static QStringList items(QWidget *combo);
};
