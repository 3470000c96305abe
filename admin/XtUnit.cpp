#include "XtUnit.h"

#include "WindowSetup.h"

TXtForm::TXtForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 454, 356);
}
