// The single-instance lock: one holder at a time, and no lock at all rather
// than one in a place that another user could have prepared.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>

namespace vorlan::test {
namespace {

// Points XDG_RUNTIME_DIR at a folder of the test's for as long as it lives.
class RuntimeFolder {
public:
    explicit RuntimeFolder(QFileDevice::Permissions permissions)
        : saved_(std::getenv("XDG_RUNTIME_DIR")) {
        QFile::setPermissions(folder_.path(), permissions);
        ::setenv("XDG_RUNTIME_DIR", Path().c_str(), 1);
    }
    ~RuntimeFolder() { ::setenv("XDG_RUNTIME_DIR", saved_.c_str(), 1); }
    RuntimeFolder(const RuntimeFolder&) = delete;
    RuntimeFolder& operator=(const RuntimeFolder&) = delete;

    std::string Path() const { return folder_.path().toStdString(); }

private:
    std::string saved_;
    QTemporaryDir folder_;
};

constexpr QFileDevice::Permissions kPrivate =
    QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;

TEST(InstanceLock, OneHolderAtATime) {
    RuntimeFolder runtime(kPrivate);
    InstanceLock first;
    InstanceLock second;
    EXPECT_EQ(first.Acquire(), LockResult::Acquired);
    EXPECT_EQ(second.Acquire(), LockResult::HeldElsewhere);
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_EQ(second.Acquire(), LockResult::Acquired);
    EXPECT_EQ(InstanceLock::LockFilePath(), runtime.Path() + "/VORLAN.MUTEX");
}

TEST(InstanceLock, FolderOthersCanWriteIsRefused) {
    RuntimeFolder runtime(kPrivate | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther);
    InstanceLock lock;
    std::string reason;
    EXPECT_EQ(lock.Acquire(&reason), LockResult::Unavailable);
    EXPECT_NE(reason.find("not a private folder"), std::string::npos) << reason;
    EXPECT_FALSE(QFile::exists(QString::fromStdString(runtime.Path() + "/VORLAN.MUTEX")));
}

TEST(InstanceLock, PlantedLinkIsNotFollowed) {
    RuntimeFolder runtime(kPrivate);
    QTemporaryDir elsewhere;
    const std::string target = elsewhere.path().toStdString() + "/victim";
    ASSERT_EQ(::symlink(target.c_str(), (runtime.Path() + "/VORLAN.MUTEX").c_str()), 0);
    InstanceLock lock;
    EXPECT_EQ(lock.Acquire(), LockResult::Unavailable);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(target)));
}

}  // namespace
}  // namespace vorlan::test
