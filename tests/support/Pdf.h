#pragma once

#include <QList>
#include <QSizeF>
#include <QString>
#include <QStringList>

// Runs a program to its end and returns what it wrote (test failure when it fails).
QString runProgram(const QString &program, const QStringList &arguments);

// What a PDF holds, page by page (read with poppler's pdfinfo and pdftotext).
struct Pdf {
    QList<QSizeF> sizes; // points
    QStringList pages;   // text as laid out
    QString all() const { return pages.join(QLatin1Char('\n')); }
};
Pdf readPdf(const QString &file);

// The text line holding `part`, or an empty text.
QString lineWith(const QString &text, const QString &part);
