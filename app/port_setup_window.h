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
    // Position in the lists of "COM<portIndex + 1>" (compared without regard to
    // case); 0 when the port is not listed or the lists are empty.
    std::int16_t IndexOfPort(std::int16_t portIndex) const;
    // Port index the hidden list's entry at position names: the number after
    // the upper-case letters C, O, M minus 1 ("COM3" gives 2). A position
    // outside the list gives 0; a name without such a number ("com3") gives -1.
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
    std::string sysfsRoot_;
};

}  // namespace vorlan
