#include "tests/support/isolatedhome.h"

#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    const tess::testing::IsolatedHome home;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tessarine"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
