#include "tests/support/fake_desktop.h"

#include <algorithm>
#include <stdexcept>

namespace vorlan::test {

namespace {

// A fake window of the toolkit: logs its making and its end.
template <class Window>
class Logged : public Window {
public:
    template <class... Args>
    Logged(std::vector<std::string>& log, std::string name, Args&&... args)
        : Window(std::forward<Args>(args)...), log_(log), name_(std::move(name)) {
        log_.push_back("made " + name_);
    }
    ~Logged() override { log_.push_back("destroyed " + name_); }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

// A main window as a toolkit builds it: controls first, then the behaviour's
// construction steps.
template <class Controls, class Behaviour>
class FakeMainWindow : public Controls {
public:
    FakeMainWindow(LayoutSize client, Controls*& made)
        : behaviour_(*this, [] { return 0; }), made_(made) {
        this->window.client = client;
        behaviour_.Construct();
        made_ = this;
    }
    ~FakeMainWindow() override { made_ = nullptr; }

private:
    Behaviour behaviour_;
    Controls*& made_;
};

void FailIfNamed(const std::string& failing, const std::string& name) {
    if (failing == name)
        throw std::runtime_error(name + " could not be made");
}

}  // namespace

std::unique_ptr<DesktopWindow> FakeToolkit::MakeUpgradeWindow() {
    FailIfNamed(failingWindow, "upgrade");
    return std::make_unique<Logged<FakeMainWindow<FakeUpgradeControls, UpgradeWindowBehaviour>>>(
        log, "upgrade", kUpgradeLayout.client, upgrade);
}

std::unique_ptr<DesktopWindow> FakeToolkit::MakeUpdaterWindow() {
    FailIfNamed(failingWindow, "updater");
    return std::make_unique<Logged<FakeMainWindow<FakeUpdaterControls, UpdaterWindowBehaviour>>>(
        log, "updater", kUpdaterLayout.client, updater);
}

std::unique_ptr<DesktopWindow> FakeToolkit::MakePortSetupWindow() {
    FailIfNamed(failingWindow, "port setup");
    return std::make_unique<Logged<FakeDesktopWindow>>(log, "port setup");
}

std::unique_ptr<DesktopWindow> FakeToolkit::MakeVersionListWindow() {
    FailIfNamed(failingWindow, "version list");
    return std::make_unique<Logged<FakeDesktopWindow>>(log, "version list");
}

void FakeToolkit::RunMessageLoop() {
    loopEnded = false;
    log.push_back("loop");
    if (inLoop)
        inLoop();
    // The timers in the order they fall due; a repeating one once.
    std::stable_sort(timers_.begin(), timers_.end(),
                     [](const Timer& a, const Timer& b) { return a.ms < b.ms; });
    for (std::size_t i = 0; i < timers_.size() && !loopEnded; ++i) timers_[i].tick();
    timers_.clear();
    log.push_back("loop ended");
}

void FakeToolkit::StartTimer(int ms, bool repeat, std::function<void()> tick) {
    timers_.push_back({ms, repeat, std::move(tick)});
}

std::vector<std::pair<std::string, std::string>> FakeToolkit::DismissMessageBoxes() {
    return std::exchange(openBoxes, {});
}

}  // namespace vorlan::test
