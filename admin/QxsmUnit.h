#pragma once

#include "ui_QxsmUnit.h"

#include <QDialog>

// 权限说明
class TQxsmForm : public QDialog, public Ui::TQxsmForm {
    Q_OBJECT
public:
    explicit TQxsmForm(QWidget *parent = nullptr);
};
