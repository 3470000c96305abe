#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

class Query;
class QWidget;

// A spreadsheet export that could not be completed (folder not writable, disk full,
// a list too long for one sheet). what() is the UTF-8 message for the error box.
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString &message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// The file an export writes for the name chosen in the save dialog: ".xls" is
// appended always, also to a name that already ends in ".xls".
QString exportFileName(const QString &chosen);

// Told how far the export is, in steps done of all: one step per row of the list and
// a last one for writing the file. While the file is written (which takes a while
// for a long list) it is told again about every 50 ms. Returning false stops
// the export.
using ExportProgress = std::function<bool(int done, int total)>;

// Writes the list into a workbook of one sheet: row 1 holds the names of the
// query's fields in their order, then one row per row of the list in the list's
// order, every cell the field's text (an empty text leaves the cell empty). The
// list's current row does not move.
//
// The workbook is written to a temporary file beside `fileName` and renamed onto it
// only when complete, so an existing file of that name is replaced whole or not at
// all. Returns false when the progress function stopped the export (nothing is
// written then); throws ExportError or StoreError on failure.
bool exportList(Query &list, const QString &fileName, const ExportProgress &progress = {});

// The save dialog of the export: a plain dialog without filter, extension or
// overwrite prompt. Returns the chosen name, empty when cancelled.
namespace ExportDialog {
using Chooser = std::function<QString(QWidget *owner)>;
QString chooseFile(QWidget *owner);
// Replaces the dialog (tests); an empty function restores it.
void setChooser(Chooser chooser);
} // namespace ExportDialog
