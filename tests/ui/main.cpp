#include <QApplication>
#include <QByteArray>

#include <gtest/gtest.h>

// Widget and glue tests need a running application object; they never need a screen.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen"));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
