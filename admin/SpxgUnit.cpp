#include "SpxgUnit.h"

#include "WindowSetup.h"

TSpxgForm::TSpxgForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 264, 223);
}
