#pragma once

#include "ui_XtUnit.h"

#include "Database.h"

#include <QDialog>

// 系统设置: the users, the goods with their prices and the print content.
class TXtForm : public QDialog, public Ui::TXtForm {
    Q_OBJECT
public:
    explicit TXtForm(QWidget *parent = nullptr);

    // The main window's 设置: the window opens modally on the users tab.
    int execOnUsersTab();

    // Re-makes the connection and opens the users, goods and print-content queries
    // again, after another window has written users or goods.
    void reconnectData();
    // The same when the window is showing; a hidden window reconnects when it is next
    // shown instead, so a line added at the till does not re-read the goods table for
    // grids nobody looks at.
    void reconnectWhenSeen();

    // Every closing (title bar, Escape) hides the window and refreshes the main
    // window's goods and cashier lists.
    void done(int result) override;

    Connection ADOConnection1;
    Query ADOQuery1{ADOConnection1}; // username
    Query ADOQuery2{ADOConnection1}; // spxx
    Query ADOQuery3{ADOConnection1}; // dynr

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool stale_ = false; // written by another window since the last reconnect
    void FormCreate();
    void FormClose();
    void SpeedButton1Click(); // add user
    void SpeedButton2Click(); // modify user (also a double click on the users grid)
    void SpeedButton3Click(); // delete user
    void SpeedButton4Click(); // add goods
    void SpeedButton5Click(); // modify goods (also a double click on the goods grid)
    void SpeedButton6Click(); // delete goods
    void SpeedButton7Click(); // save print content
    void SpeedButton8Click(); // permission explanation
};
