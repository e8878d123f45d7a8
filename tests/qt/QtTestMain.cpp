// GoogleTest main for the window tests: the application object is made only
// when tests run, never when CMake merely lists them at build time.
#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) {
        return RUN_ALL_TESTS();
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Tests give the program a temporary home: nothing may come from the real one.
    ::unsetenv("XDG_CONFIG_HOME");
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
