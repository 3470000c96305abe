#pragma once

#include "ui_YhtjUnit.h"

#include "Database.h"

#include <QDialog>

// 添加新用户: appends a user (cashier) through its own connection.
class TYhtjForm : public QDialog, public Ui::TYhtjForm {
    Q_OBJECT
public:
    explicit TYhtjForm(QWidget *parent = nullptr);

    Connection ADOConnection1;
    Query ADOQuery1{ADOConnection1}; // username

private:
    void SpeedButton1Click(); // 添加
    void SpeedButton2Click(); // 关闭
};
