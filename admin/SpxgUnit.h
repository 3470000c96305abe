#pragma once

#include "ui_SpxgUnit.h"

#include <QDialog>

// 修改商品信息: changes the name and price of the goods selected in the settings
// window, through the settings window's goods query.
class TSpxgForm : public QDialog, public Ui::TSpxgForm {
    Q_OBJECT
public:
    explicit TSpxgForm(QWidget *parent = nullptr);

private:
    void SpeedButton1Click(); // 修改
    void SpeedButton2Click(); // 关闭
};
