// The serial device's errors on Windows, as the driver and the technician
// see them: the kind that decides the text, and the system's own words.
#include "platform/serial_backend.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "platform/com_naming.h"

namespace vorlan {
namespace {

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

TEST(Win32SerialBackend, AMissingPortIsNotFoundInTheSystemsWords) {
    int handle = 7;
    const SerialStatus status = PlatformSerialBackend().OpenExclusive(DevicePathOfCom(250), handle);
    EXPECT_EQ(status.kind, SerialErrorKind::kNotFound) << status.message;
    EXPECT_FALSE(status.message.empty());
    EXPECT_EQ(handle, -1);
}

// A second open of a port we hold is refused as "in use" ("access denied" on
// Windows). Needs a real port, named in VORLAN_TEST_PORT (e.g. COM3).
TEST(Win32SerialBackend, TheOpenIsExclusive) {
    if (UnderWine())
        GTEST_SKIP() << "wine does not enforce exclusive opens of COM ports";
    const char* port = std::getenv("VORLAN_TEST_PORT");
    const auto number = port != nullptr ? ComNumberOfDevice(port) : std::nullopt;
    if (!number)
        GTEST_SKIP() << "no port to try; set VORLAN_TEST_PORT=COM<n>";
    SerialBackend& os = PlatformSerialBackend();
    int first = -1;
    ASSERT_TRUE(os.OpenExclusive(DevicePathOfCom(*number), first).ok());
    int second = -1;
    const SerialStatus status = os.OpenExclusive(DevicePathOfCom(*number), second);
    EXPECT_EQ(status.kind, SerialErrorKind::kBusy) << status.message;
    EXPECT_EQ(second, -1);
    os.Close(first);
}

}  // namespace
}  // namespace vorlan
