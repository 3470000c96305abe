#pragma once

#include "ui_Dy76Unit.h"

#include <QDialog>

// 打印预览
class TDy76Form : public QDialog, public Ui::TDy76Form {
    Q_OBJECT
public:
    explicit TDy76Form(QWidget *parent = nullptr);
};
