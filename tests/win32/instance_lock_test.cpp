// The single-instance lock as the named mutex: one holder at a time, free
// again once released.
#include "platform/instance_lock.h"

#include <gtest/gtest.h>

namespace vorlan {
namespace {

TEST(Win32InstanceLock, OneHolderAtATime) {
    InstanceLock first;
    InstanceLock second;
    if (first.Acquire() == LockResult::HeldElsewhere)
        GTEST_SKIP() << "a copy of the program holds VORLAN.MUTEX on this machine";
    EXPECT_TRUE(first.Held());
    EXPECT_EQ(second.Acquire(), LockResult::HeldElsewhere);
    EXPECT_FALSE(second.Held());
    first.Release();
    EXPECT_EQ(second.Acquire(), LockResult::Acquired);
}

}  // namespace
}  // namespace vorlan
