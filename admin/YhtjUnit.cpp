#include "YhtjUnit.h"

#include "WindowSetup.h"

TYhtjForm::TYhtjForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 264, 246);
}
