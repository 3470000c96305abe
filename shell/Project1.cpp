// Project1: the receipt program. Started in the directory that holds data.mdb.
#include "Fonts.h"
#include "Startup.h"

#include <QApplication>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    installFontSubstitutions();
    return startProgram();
}
