#include <gtest/gtest.h>

#include <QApplication>

#if defined(__SANITIZE_THREAD__)
// Qt is not built with ThreadSanitizer, so the hand-overs inside its own thread pool (font and
// image work in QtGui) are invisible to it and show up as races. Reports whose stacks run through
// Qt are left out; the cell store's concurrency test has no Qt in its stacks and stays checked.
extern "C" const char* __tsan_default_suppressions() {
    return "race:libQt6Core.so\n"
           "race:libQt6Gui.so\n"
           "race:libQt6Widgets.so\n";
}
#endif

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
