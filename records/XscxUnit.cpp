#include "XscxUnit.h"

#include "WindowSetup.h"

TXscxForm::TXscxForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 264, 221);
}
