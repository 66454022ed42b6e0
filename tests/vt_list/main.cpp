#include <gtest/gtest.h>

#include <QApplication>

// The grid tests drive real widgets, which need an application object on the main thread.
// They run without a display unless QT_QPA_PLATFORM names one.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
