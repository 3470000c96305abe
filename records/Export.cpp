#include "Export.h"

#include "Database.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>
#include <sys/stat.h>
#include <xlsxwriter.h>

namespace {

// A workbook that was not closed (written) is freed without writing anything.
struct WorkbookFree {
    void operator()(lxw_workbook *book) const { lxw_workbook_free(book); }
};
using Workbook = std::unique_ptr<lxw_workbook, WorkbookFree>;

// Rows written between two progress reports.
constexpr int progressStep = 1000;

QString cannotWrite(const QString &fileName, const QString &reason) {
    return QStringLiteral("无法写入文件“%1”：%2").arg(QDir::toNativeSeparators(fileName), reason);
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

void check(lxw_error error, const QString &fileName) {
    if (error != LXW_NO_ERROR)
        throw ExportError(cannotWrite(fileName, QString::fromUtf8(lxw_strerror(error))));
}

void writeCell(lxw_worksheet *sheet, int row, int column, const QString &text,
               const QString &fileName) {
    if (text.isEmpty())
        return;
    const QByteArray utf8 = text.toUtf8();
    check(
        worksheet_write_string(sheet, lxw_row_t(row), lxw_col_t(column), utf8.constData(), nullptr),
        fileName);
}

// The mode a new file gets from the process's umask.
mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

QString exportFileName(const QString &chosen) {
    return chosen + QStringLiteral(".xls");
}

bool exportList(Query &list, const QString &fileName, const ExportProgress &progress) {
    const QStringList fields = list.fieldNames();
    const int rows = list.recordCount();
    if (qint64(rows) + 1 > qint64(LXW_ROW_MAX))
        throw ExportError(
            cannotWrite(fileName, QStringLiteral("列表有 %1 行，一张工作表最多只能容纳 %2 行数据")
                                      .arg(rows)
                                      .arg(qint64(LXW_ROW_MAX) - 1)));

    const QFileInfo target(fileName);
    QTemporaryFile temp(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!temp.open())
        throw ExportError(cannotWrite(fileName, temp.errorString()));
    temp.close(); // the workbook writes it by name
    const QByteArray tempName = QFile::encodeName(temp.fileName());

    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    Workbook book(workbook_new_opt(tempName.constData(), &options));
    if (!book)
        throw ExportError(cannotWrite(fileName, systemReason(errno)));
    lxw_worksheet *sheet = workbook_add_worksheet(book.get(), nullptr);
    if (!sheet)
        throw ExportError(
            cannotWrite(fileName, QString::fromUtf8(lxw_strerror(LXW_ERROR_CREATING_TMPFILE))));

    for (int c = 0; c < fields.size(); ++c)
        writeCell(sheet, 0, c, fields[c], fileName);
    // Steps: one per row, and a last one for writing the file.
    const int steps = rows + 1;
    for (int r = 0; r < rows; ++r) {
        if (progress && r % progressStep == 0 && !progress(r, steps))
            return false;
        for (int c = 0; c < fields.size(); ++c)
            writeCell(sheet, r + 1, c, list.text(r, c), fileName);
    }

    // The library writes the rows to a temporary file without looking at the result:
    // a full disk would go unnoticed and leave a sheet with rows missing.
    if (FILE *rowFile = sheet->optimize_tmpfile) {
        const bool flushed = std::fflush(rowFile) == 0;
        const int error = errno;
        if (!flushed || std::ferror(rowFile))
            throw ExportError(cannotWrite(fileName, flushed ? QStringLiteral("写入临时文件时出错")
                                                            : systemReason(error)));
    }

    // Packing the workbook takes about as long as writing the rows. It touches nothing
    // but the library's own data, so it runs on a thread of its own while the caller
    // keeps being told, and so can keep its window alive.
    lxw_error closed;
    bool stopped = false;
    if (progress) {
        std::future<lxw_error> closing =
            std::async(std::launch::async, workbook_close, book.release());
        while (closing.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
            if (!progress(rows, steps))
                stopped = true; // the file is dropped once the library is done with it
        }
        closed = closing.get();
    } else {
        closed = workbook_close(book.release());
    }
    check(closed, fileName);
    if (stopped)
        return false;
    ::chmod(tempName.constData(), newFileMode());
    // rename() replaces an existing file of the name in one step.
    if (std::rename(tempName.constData(), QFile::encodeName(fileName).constData()) != 0)
        throw ExportError(cannotWrite(fileName, systemReason(errno)));
    temp.setAutoRemove(false);
    if (progress)
        progress(steps, steps);
    return true;
}

namespace ExportDialog {

namespace {
Chooser &chooser() {
    static Chooser c;
    return c;
}
} // namespace

QString chooseFile(QWidget *owner) {
    if (chooser())
        return chooser()(owner);
    return QFileDialog::getSaveFileName(owner, QString(), QString(), QString(), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

void setChooser(Chooser c) {
    chooser() = std::move(c);
}

} // namespace ExportDialog
