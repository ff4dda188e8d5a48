#include "tests/win32_windows/win32_window_fixture.h"

#include <cstdlib>

#include "app/build_version.h"
#include "app/win32/message_loop.h"
#include "app/win32/win32_controls.h"
#include "app/window_references.h"
#include "engine/pause.h"
#include "ports/port_selection.h"
#include "ports/serial_driver.h"
#include "ports/status_notifier.h"
#include "tests/support/engine_fixture.h"

namespace vorlan::test {

board::BoardConfig DemoBoard() {
    board::BoardConfig config;
    config.boardCode = 9;
    config.preparation = 0x04;
    return config;
}

void Win32WindowTest::SetUp() {
    // Under wine a window needs an X display (make test-windows starts one).
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr)
        GTEST_SKIP() << "no window can be made here (under wine: no display)";
    DestroyWindow(probe);
    key_ = "Software\\Quenta\\VorlanWindowTest-" + std::to_string(GetCurrentProcessId()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    _putenv_s("VORLAN_SETTINGS_KEY", key_.c_str());
    ResetAllState();
    ResetPortSelection();
    Windows() = WindowReferences{};
    SetBuildVersion(VORLAN_BUILD_VERSION);
    SetCommandLine({"vorlan"});
    SetNotifierPorts({});
}

void Win32WindowTest::TearDown() {
    StopStatusNotifier();
    BindLinkPort(nullptr);
    BindPause(nullptr);
    CloseAllPorts();
    ResetAllState();
    ResetPortSelection();
    Windows() = WindowReferences{};
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
    _putenv_s("VORLAN_SETTINGS_KEY", "");
}

void Win32WindowTest::StoreCom(const std::string& text) const {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "com", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
}

void Win32WindowTest::BindModel(board::BoardConfig config, board::BoardFaults faults) {
    model_ = std::make_unique<board::BootLoaderModel>(config, faults);
    port_ = std::make_unique<ModelPort>(*model_, clock_);
    clock_.SetPassHook([](std::int64_t) { win32::PumpPendingMessages(); });
    BindLinkPort(port_.get());
    BindPause(&clock_);
}

void Click(HWND button) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

bool Shown(HWND control) {
    return (GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string Text(HWND control) {
    return win32::TextOf(control);
}

SIZE ClientSize(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

}  // namespace vorlan::test
