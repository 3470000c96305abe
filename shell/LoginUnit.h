#pragma once

#include "Database.h"
#include "ui_LoginUnit.h"

#include <QDialog>

// The login window: created for the login only, freed after it.
class TLoginForm : public QDialog, public Ui::TLoginForm {
    Q_OBJECT
public:
    explicit TLoginForm(QWidget *parent = nullptr);
    ~TLoginForm() override;

    Connection ADOConnection1;
    Query ADOQuery1{ADOConnection1};

protected:
    void showEvent(QShowEvent *event) override;

private slots:
    void FormCreate();
    void FormShow();
    void SpeedButton1Click();
    void SpeedButton2Click();
};

// Creates the login window, shows it modally and tells whether the login succeeded.
bool runLogin();
