// The window tests run without a display (offscreen) and keep the
// single-instance lock in a private runtime folder of their own.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QDir>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::string runtime = QDir::tempPath().toStdString() + "/vorlan-desktop-XXXXXX";
    if (::mkdtemp(runtime.data()) == nullptr)
        return 2;
    ::chmod(runtime.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    int result = 0;
    {
        QApplication application(argc, argv);
        result = RUN_ALL_TESTS();
    }
    QDir(QString::fromStdString(runtime)).removeRecursively();
    return result;
}
