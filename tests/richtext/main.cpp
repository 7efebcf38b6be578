#include "tests/support/isolatedhome.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
    const tess::testing::IsolatedHome home;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
