// The loopback status record as the main windows make it send: started by
// "\p", one notifier however many windows ask, and the bind error of a taken
// port ending the window's construction.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLabel>
#include <QPushButton>
#include <array>
#include <stdexcept>

#include "app/build_version.h"
#include "app/qt/panel_status_bar.h"
#include "app/qt/updater_window.h"
#include "app/qt/upgrade_window.h"
#include "engine/status_reporting.h"
#include "ports/status_notifier.h"
#include "tests/desktop/window_fixture.h"

namespace vorlan::test {
namespace {

using Record = std::vector<std::uint8_t>;

// A UDP socket bound on 127.0.0.1 at a free port.
class LoopbackSocket {
public:
    LoopbackSocket() {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        bound_ = ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        socklen_t size = sizeof address;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size);
        port_ = ntohs(address.sin_port);
    }
    ~LoopbackSocket() { ::close(fd_); }
    LoopbackSocket(const LoopbackSocket&) = delete;
    LoopbackSocket& operator=(const LoopbackSocket&) = delete;

    bool Bound() const { return bound_; }
    std::uint16_t Port() const { return port_; }

    // The datagrams that arrive within waitMs of each other; sender port of
    // the first in *from.
    std::vector<Record> Receive(int waitMs, std::uint16_t* from = nullptr) {
        std::vector<Record> records;
        pollfd ready{fd_, POLLIN, 0};
        while (::poll(&ready, 1, waitMs) == 1) {
            std::array<std::uint8_t, 64> buffer{};
            sockaddr_in sender{};
            socklen_t size = sizeof sender;
            const auto got = ::recvfrom(fd_, buffer.data(), buffer.size(), 0,
                                        reinterpret_cast<sockaddr*>(&sender), &size);
            if (got < 0)
                break;
            if (records.empty() && from != nullptr)
                *from = ntohs(sender.sin_port);
            records.emplace_back(buffer.begin(), buffer.begin() + got);
        }
        return records;
    }

private:
    int fd_ = -1;
    bool bound_ = false;
    std::uint16_t port_ = 0;
};

const Record kSuccess{0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 1};
const Record kFailure{0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0};

class NotifierTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        SetCommandLine({"vorlan", "\\p"});
        ASSERT_TRUE(supervisor_.Bound());
        SetNotifierPorts({0, supervisor_.Port()});
    }

    LoopbackSocket supervisor_;
};

TEST_F(NotifierTest, UpdaterSuccessSendsTheSuccessRecord) {
    SetBuildVersion("XYZ 01.00");
    BindModel(DemoBoard());
    UpdaterWindow updater;
    updater.Button1()->click();

    EXPECT_EQ(updater.Label2()->text(), QStringLiteral(" Program Ok "));
    EXPECT_EQ(updater.Label2()->palette().color(QPalette::Window), QColor(0, 0x80, 0));
    EXPECT_EQ(updater.Label2()->palette().color(QPalette::WindowText), QColor(Qt::white));
    std::uint16_t from = 0;
    EXPECT_EQ(supervisor_.Receive(2000, &from), std::vector<Record>{kSuccess});
    EXPECT_EQ(from, RunningStatusNotifier()->LocalPort());
}

// Both constructors ask for the notifier in Upgrade mode; the second request
// must find the first notifier rather than try to bind its port again.
TEST_F(NotifierTest, UpgradeModeAsksTwiceAndRunsOneNotifier) {
    UpgradeWindow upgrade;
    std::unique_ptr<UpdaterWindow> updater;
    ASSERT_NO_THROW(updater = std::make_unique<UpdaterWindow>());
    ASSERT_NE(RunningStatusNotifier(), nullptr);
    EXPECT_EQ(StatusNotifier(), RunningStatusNotifier());

    // In this mode success is shown in the step panel only; a failure still
    // reaches the supervising program.
    BindModel(DemoBoard());
    upgrade.Button1()->click();
    EXPECT_EQ(upgrade.StatusBar1()->PanelText(1), QStringLiteral("Program OK"));
    board::BoardFaults faults;
    faults.silent = {0, 1, 2, 3, 4, 5};
    BindModel(DemoBoard(), faults);
    upgrade.Button1()->click();
    EXPECT_EQ(upgrade.StatusBar1()->PanelText(1), QStringLiteral(" not Response "));
    EXPECT_EQ(supervisor_.Receive(300), std::vector<Record>{kFailure});
}

TEST_F(NotifierTest, TakenPortEndsConstructionWithTheBindError) {
    LoopbackSocket squatter;
    ASSERT_TRUE(squatter.Bound());
    SetNotifierPorts({squatter.Port(), supervisor_.Port()});
    try {
        UpgradeWindow upgrade;
        ADD_FAILURE() << "constructed";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), kNotifierPortInUse);
    }
    EXPECT_FALSE(IsUpgradeMode());
}

}  // namespace
}  // namespace vorlan::test
