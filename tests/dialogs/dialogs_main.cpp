// Runs the window tests offscreen, with the run-time folder and the port alias
// folder in private temporary folders, so no display and no real alias is used.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <filesystem>
#include <string>

namespace {

std::string MakePrivateFolder(const char* name) {
    std::string pattern = (std::filesystem::temp_directory_path() / name).string();
    return mkdtemp(pattern.data()) != nullptr ? pattern : std::string();  // mode 0700
}

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string runtime = MakePrivateFolder("vorlan-dialogs-run-XXXXXX");
    const std::string aliases = MakePrivateFolder("vorlan-dialogs-ports-XXXXXX");
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    setenv("VORLAN_PORT_DIR", aliases.c_str(), 1);

    testing::InitGoogleTest(&argc, argv);
    int result = 0;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    std::error_code ignored;
    std::filesystem::remove_all(runtime, ignored);
    std::filesystem::remove_all(aliases, ignored);
    return result;
}
