#pragma once

class TMainForm;
class TXtForm;
class TYhtjForm;
class TYhxgForm;
class TSptjForm;
class TSpxgForm;
class TXstjForm;
class TXsmxForm;
class TXscxForm;
class TQxsmForm;
class TDy58Form;
class TDy76Form;

// The long-lived windows of the program, created once at start-up in this order and
// kept until the program ends. Windows reach each other through these.
struct Forms {
    TMainForm *main = nullptr;
    TXtForm *xt = nullptr;
    TYhtjForm *yhtj = nullptr;
    TYhxgForm *yhxg = nullptr;
    TSptjForm *sptj = nullptr;
    TSpxgForm *spxg = nullptr;
    TXstjForm *xstj = nullptr;
    TXsmxForm *xsmx = nullptr;
    TXscxForm *xscx = nullptr;
    TQxsmForm *qxsm = nullptr;
    TDy58Form *dy58 = nullptr;
    TDy76Form *dy76 = nullptr;
};

Forms &forms();
