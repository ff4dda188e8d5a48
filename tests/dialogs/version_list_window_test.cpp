#include "app/qt/version_list_window.h"

#include <gtest/gtest.h>

#include <QFontInfo>
#include <QListWidget>
#include <QPushButton>
#include <QStringList>
#include <string>
#include <vector>

#include "catalogue/version_list.h"
#include "window_grab.h"

namespace vorlan {
namespace {

QStringList ListLines(const QListWidget& list) {
    QStringList lines;
    for (int row = 0; row < list.count(); ++row) lines << list.item(row)->text();
    return lines;
}

QStringList Expected() {
    QStringList lines;
    for (const std::string& line : FillVersionList()) lines << QString::fromStdString(line);
    return lines;
}

TEST(VersionListWindow, FormAndControlsStandWhereTheDesignPutsThem) {
    VersionListWindow window;
    EXPECT_EQ(window.windowTitle(), "Version ..");
    EXPECT_EQ(window.size(), QSize(404, 245));  // a 412 x 272 form less its frame
    EXPECT_FALSE(window.isModal());
    EXPECT_EQ(window.ListBox1->geometry(), QRect(8, 10, 373, 184));
    EXPECT_EQ(window.Button1->geometry(), QRect(303, 204, 75, 26));
    EXPECT_EQ(window.Button1->text(), "&Ok");
    EXPECT_EQ(window.Button1->nextInFocusChain(), window.ListBox1);

    const QFontInfo face(window.ListBox1->font());
    EXPECT_TRUE(face.fixedPitch()) << face.family().toStdString();
    EXPECT_EQ(face.pixelSize(), 11);
}

TEST(VersionListWindow, ShowingListsTheCarriedImagesOnceEachTime) {
    VersionListWindow window;
    window.show();

    const QStringList lines = ListLines(*window.ListBox1);
    ASSERT_EQ(lines, Expected());
    // The demo build carries one image, for the PIC24HJ64 default slot.
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Device - Print          - Preparation");
    EXPECT_EQ(lines[1], QString(37, '-'));
    EXPECT_TRUE(lines[2].startsWith("24HJ64 - ")) << lines[2].toStdString();
    // Every row is drawn 13 pixels high.
    EXPECT_EQ(window.ListBox1->visualItemRect(window.ListBox1->item(2)).height(), 13);
    SaveWindowGrab(window, "version_list_window");

    window.Button1->click();
    EXPECT_FALSE(window.isVisible());
    window.show();
    EXPECT_EQ(ListLines(*window.ListBox1), lines);
}

}  // namespace
}  // namespace vorlan
