#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

// The whole window runs offscreen; the unit is simulated on a pseudo-terminal.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
