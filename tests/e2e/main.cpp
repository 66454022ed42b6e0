#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

// The whole window runs offscreen; the unit is simulated on a pseudo-terminal. Screenshots
// (SENDIBOX_SCREENSHOTS) are taken on whatever platform the environment names, Xvfb's say.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("SENDIBOX_SCREENSHOTS")) {
        qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
