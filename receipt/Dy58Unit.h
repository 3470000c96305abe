#pragma once

#include "ui_Dy58Unit.h"

#include <QDialog>

// 打印预览
class TDy58Form : public QDialog, public Ui::TDy58Form {
    Q_OBJECT
public:
    explicit TDy58Form(QWidget *parent = nullptr);
};
