#pragma once

#include "ui_SptjUnit.h"

#include "Database.h"

#include <QDialog>

// 添加新商品: appends goods through its own connection. Not modal: it stays usable
// beside the settings window and after that window has closed.
class TSptjForm : public QDialog, public Ui::TSptjForm {
    Q_OBJECT
public:
    explicit TSptjForm(QWidget *parent = nullptr);

    // Shows the dialog without making it modal, as a window of `owner` (the settings
    // window): a modal window blocks every window that is not its own.
    void showBeside(QWidget *owner);

    Connection ADOConnection1;
    Query ADOQuery1{ADOConnection1}; // spxx

private:
    void SpeedButton1Click(); // 添加
    void SpeedButton2Click(); // 关闭
};
