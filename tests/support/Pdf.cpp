#include "Pdf.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

QString runProgram(const QString &program, const QStringList &arguments) {
    QProcess p;
    p.start(program, arguments);
    EXPECT_TRUE(p.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(p.exitCode(), 0) << program.toStdString() << ": "
                               << p.readAllStandardError().toStdString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

Pdf readPdf(const QString &file) {
    Pdf pdf;
    const QString info =
        runProgram(QStringLiteral("pdfinfo"), {QStringLiteral("-f"), QStringLiteral("1"),
                                               QStringLiteral("-l"), QStringLiteral("1000"), file});
    static const QRegularExpression size(
        QStringLiteral(R"(Page\s+\d+ size:\s+([\d.]+) x ([\d.]+) pts)"));
    for (auto it = size.globalMatch(info); it.hasNext();) {
        const auto m = it.next();
        pdf.sizes.append(QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()));
    }
    for (int page = 1; page <= pdf.sizes.size(); ++page) {
        pdf.pages.append(
            runProgram(QStringLiteral("pdftotext"),
                       {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page),
                        QStringLiteral("-l"), QString::number(page), file, QStringLiteral("-")}));
    }
    return pdf;
}

QString lineWith(const QString &text, const QString &part) {
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (line.contains(part))
            return line;
    }
    return {};
}
