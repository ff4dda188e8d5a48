// The Port setup window: lists the serial ports present by their friendly
// names, preselects the current port and, on "&Ok", makes the chosen port the
// current port index and reopens it. Created once at start-up, hidden while
// not in use, shown without being modal (the main window stays usable).
//
// UI thread only. Each showing refills the lists from the port enumeration of
// the machine, read under the sysfs root given at construction.
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QShowEvent;

namespace vorlan {

class PortSetupWindow : public QDialog {
    Q_OBJECT

public:
    // sysfsRoot: where the serial ports present are looked up ("/sys" on a
    // real machine, a fake tree in tests). The parent, if any, owns the window.
    explicit PortSetupWindow(QWidget* parent = nullptr, std::string sysfsRoot = "/sys");

    // Empties both lists and refills them from the port enumeration, entry k
    // of the visible list and of the hidden list naming the same port.
    void FillPortLists();
    // app/port_setup_rules.h on the hidden list's port names.
    std::int16_t IndexOfPort(std::int16_t portIndex) const;
    std::int16_t PortIndexOfEntry(std::int16_t position) const;

    // Controls, named as on the form. Owned by the window.
    QPushButton* Button1;  // "&Ok"
    QPushButton* Button2;  // "&Cancel"
    QComboBox* ComboBox1;  // friendly names, visible
    QLabel* Label1;        // "Port :"
    QComboBox* ComboBox2;  // port names (COM<n>), never visible

public slots:
    void FormShow();
    void Button1Click();
    void Button2Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The hidden list's texts, position by position.
    std::vector<std::string> PortNames() const;

    std::string sysfsRoot_;
};

}  // namespace vorlan
