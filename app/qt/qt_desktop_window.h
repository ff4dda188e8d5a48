// A Qt window as start-up and the behaviours see it (app/desktop_window.h):
// Widget is QMainWindow or QDialog, Interface the controls interface of the
// window (DesktopWindow itself for the Version list window). UI thread only.
#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QPixmap>
#include <QRect>
#include <string>
#include <type_traits>

#include "app/desktop_window.h"

namespace vorlan {

inline QRect ToQRect(const LayoutRect& rect) {
    return {rect.x, rect.y, rect.width, rect.height};
}

template <class Widget, class Interface>
class QtDesktopWindow : public Widget, public Interface {
    static_assert(std::is_base_of_v<DesktopWindow, Interface>);

public:
    using Widget::Widget;

    void ShowWindow() override { Widget::show(); }
    void HideWindow() override { Widget::hide(); }
    bool IsWindowShown() const override { return Widget::isVisible(); }
    void SetTitle(const std::string& title) override {
        Widget::setWindowTitle(QString::fromStdString(title));
    }
    LayoutSize ClientSize() const override {
        // A main window's client area is its central widget: the menu bar
        // is no part of it.
        const QWidget* client = this;
        if constexpr (std::is_base_of_v<QMainWindow, Widget>)
            client = Widget::centralWidget();
        return {client->width(), client->height()};
    }
    bool SaveImage(const std::string& path) override {
        return Widget::grab().save(QString::fromStdString(path));
    }
};

}  // namespace vorlan
