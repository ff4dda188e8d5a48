// The Port setup window on Qt: the serial ports present by their friendly
// names in a drop-down list, "&Ok" and "&Cancel". What they do is
// app/port_setup_rules.h's; this class creates the controls, forwards their
// events and implements the controls interface. Created once at start-up,
// hidden while not in use, shown without being modal (the main window stays
// usable). UI thread only.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "app/port_setup_rules.h"
#include "app/qt/qt_desktop_window.h"

class QComboBox;
class QLabel;
class QPushButton;
class QShowEvent;

namespace vorlan {

class PortSetupWindow final : public QtDesktopWindow<QDialog, PortSetupControls> {
    Q_OBJECT

public:
    // sysfsRoot: where the serial ports present are looked up ("/sys" on a
    // real machine, a fake tree in tests). The parent, if any, owns the window.
    explicit PortSetupWindow(QWidget* parent = nullptr, std::string sysfsRoot = "/sys");

    PortSetupBehaviour& Behaviour() { return behaviour_; }

    // PortSetupControls
    void SetEntries(const std::vector<std::string>& friendlyNames) override;
    void SelectEntry(std::int16_t position) override;
    std::int16_t SelectedEntry() const override;

    // Controls, named as on the form. Owned by the window.
    QPushButton* Button1;  // "&Ok"
    QPushButton* Button2;  // "&Cancel"
    QComboBox* ComboBox1;  // friendly names
    QLabel* Label1;        // "Port :"

protected:
    void showEvent(QShowEvent* event) override;

private:
    PortSetupBehaviour behaviour_;
};

}  // namespace vorlan
