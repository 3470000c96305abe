#include "QxsmUnit.h"

#include "WindowSetup.h"

TQxsmForm::TQxsmForm(QWidget *parent) : QDialog(parent) {
    setupUi(this);
    setupFixedWindow(this, 324, 232);
}
