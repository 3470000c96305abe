#include "Startup.h"

#include "Dy58Unit.h"
#include "Dy76Unit.h"
#include "Forms.h"
#include "LoginUnit.h"
#include "MainUnit.h"
#include "Messages.h"
#include "QxsmUnit.h"
#include "SptjUnit.h"
#include "SpxgUnit.h"
#include "XscxUnit.h"
#include "XsmxUnit.h"
#include "XstjUnit.h"
#include "XtUnit.h"
#include "YhtjUnit.h"
#include "YhxgUnit.h"

#include <QApplication>
#include <exception>

void createForms() {
    // The pictures of the windows live in this library.
    Q_INIT_RESOURCE(shell);
    Forms &f = forms();
    try {
        // The main window comes first: closing it ends the program. The others are
        // owned by nobody and freed in destroyForms().
        f.main = new TMainForm(nullptr);
        f.xt = new TXtForm(f.main);
        f.yhtj = new TYhtjForm(f.main);
        f.yhxg = new TYhxgForm(f.main);
        f.sptj = new TSptjForm(f.main);
        f.spxg = new TSpxgForm(f.main);
        f.xstj = new TXstjForm(f.main);
        f.xsmx = new TXsmxForm(f.main);
        f.xscx = new TXscxForm(f.main);
        f.qxsm = new TQxsmForm(f.main);
        f.dy58 = new TDy58Form(f.main);
        f.dy76 = new TDy76Form(f.main);
    } catch (...) {
        destroyForms();
        throw;
    }
}

void destroyForms() {
    Forms &f = forms();
    delete f.main; // the other windows are its children
    f = Forms{};
}

int runProgram() {
    createForms();
    forms().main->show();
    if (!runLogin()) {
        destroyForms();
        return 0;
    }
    const int status = QApplication::exec();
    destroyForms();
    return status;
}

int startProgram() {
    try {
        return runProgram();
    } catch (const std::exception &e) {
        // An error while the windows are created ends the program.
        Messages::error(nullptr, QString::fromUtf8(e.what()));
        return 1;
    }
}
