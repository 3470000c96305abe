#pragma once

#include "ui_XtUnit.h"

#include <QDialog>

// 系统设置
class TXtForm : public QDialog, public Ui::TXtForm {
    Q_OBJECT
public:
    explicit TXtForm(QWidget *parent = nullptr);
};
