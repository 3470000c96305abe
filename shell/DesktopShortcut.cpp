#include "DesktopShortcut.h"

#include "AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

QString desktopShortcutPath() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    return QDir(desktop).filePath(QString::fromUtf8(AppInfo::shortcutName) +
                                  QStringLiteral(".desktop"));
}

namespace {
// Quotes an argument of the Exec key (freedesktop desktop entry rules).
QString execQuoted(const QString &path) {
    QString q = path;
    for (const char *c : {"\\", "\"", "`", "$"})
        q.replace(QLatin1String(c), QLatin1String("\\") + QLatin1String(c));
    q.replace(QLatin1Char('%'), QLatin1String("%%"));
    return QLatin1Char('"') + q + QLatin1Char('"');
}
} // namespace

void writeDesktopShortcut() {
    const QString program = QCoreApplication::applicationFilePath();
    const QString directory = QCoreApplication::applicationDirPath();
    const QString path = desktopShortcutPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    QString entry;
    entry += QStringLiteral("[Desktop Entry]\n");
    entry += QStringLiteral("Type=Application\n");
    entry += QStringLiteral("Name=") + QString::fromUtf8(AppInfo::shortcutName) + QLatin1Char('\n');
    entry += QStringLiteral("Exec=") + execQuoted(program) + QLatin1Char('\n');
    entry += QStringLiteral("Path=") + directory + QLatin1Char('\n');
    entry += QStringLiteral("Icon=") + directory + QStringLiteral("/Project1.png\n");
    entry += QStringLiteral("Terminal=false\n");
    file.write(entry.toUtf8());
    if (file.commit())
        QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner |
                                        QFileDevice::ExeUser);
}
