// The Version list window: lists the firmware images the program carries,
// one line per image in a fixed-pitch face so the columns line up. Created
// once at start-up, shown without being modal; each showing rebuilds the list
// from the image table. The Updater window sets the caption before showing it.
//
// UI thread only.
#pragma once

#include <QDialog>

#include "app/qt/qt_desktop_window.h"

class QListWidget;
class QPushButton;
class QShowEvent;

namespace vorlan {

class VersionListWindow final : public QtDesktopWindow<QDialog, DesktopWindow> {
    Q_OBJECT

public:
    // The parent, if any, owns the window.
    explicit VersionListWindow(QWidget* parent = nullptr);

    // Appends the two heading lines and one line per listed image to ListBox1.
    void FillVersionList();

    // Controls, named as on the form. Owned by the window.
    QListWidget* ListBox1;
    QPushButton* Button1;  // "&Ok"

public slots:
    void FormShow();
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace vorlan
