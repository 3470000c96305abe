#pragma once

#include "ui_XscxUnit.h"

#include <QDialog>

// 销售查询
class TXscxForm : public QDialog, public Ui::TXscxForm {
    Q_OBJECT
public:
    explicit TXscxForm(QWidget *parent = nullptr);
};
