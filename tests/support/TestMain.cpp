// Test runner for the tests that need an application object (widgets, offscreen).
#include "Fonts.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char **argv) {
    // Headless unless a test asks for a real X server.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
