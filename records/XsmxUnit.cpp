#include "XsmxUnit.h"

#include "WindowSetup.h"

TXsmxForm::TXsmxForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 901, 559);
}
