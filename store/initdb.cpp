// initdb: creates a fresh data.mdb with the seed rows in the current directory.
#include "Create.h"
#include "StoreError.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QString path = QDir::current().filePath(QStringLiteral("data.mdb"));
    try {
        createDatabase(path);
    } catch (const StoreError &e) {
        std::fprintf(stderr, "initdb: %s\n", e.what());
        return 1;
    }
    std::printf("initdb: created %s\n", QFile::encodeName(path).constData());
    return 0;
}
