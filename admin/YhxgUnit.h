#pragma once

#include "ui_YhxgUnit.h"

#include <QDialog>

// 修改用户信息: changes the password and permission of the user selected in the
// settings window, through the settings window's users query.
class TYhxgForm : public QDialog, public Ui::TYhxgForm {
    Q_OBJECT
public:
    explicit TYhxgForm(QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void SpeedButton1Click(); // 修改
    void SpeedButton2Click(); // 关闭
};
