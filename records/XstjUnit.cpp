#include "XstjUnit.h"

#include "WindowSetup.h"

TXstjForm::TXstjForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 717, 514);
}
