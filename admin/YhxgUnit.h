#pragma once

#include "ui_YhxgUnit.h"

#include <QDialog>

// 修改用户信息
class TYhxgForm : public QDialog, public Ui::TYhxgForm {
    Q_OBJECT
public:
    explicit TYhxgForm(QWidget *parent = nullptr);
};
