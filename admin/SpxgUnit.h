#pragma once

#include "ui_SpxgUnit.h"

#include <QDialog>

// 修改商品信息
class TSpxgForm : public QDialog, public Ui::TSpxgForm {
    Q_OBJECT
public:
    explicit TSpxgForm(QWidget *parent = nullptr);
};
