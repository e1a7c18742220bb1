#pragma once
// Style sheets, colours and pictures the main window puts on its widgets.

#include <QColor>

namespace windowstyle {

constexpr const char* kUpdateButton = "QPushButton{background-color: rgb(142, 189, 243);}";
constexpr const char* kEditingUpdateButton = "QPushButton{background-color: rgb(6, 186, 39);}";
constexpr const char* kIdleTestButton = "QPushButton{background-color: rgb(254, 202, 84);}";
constexpr const char* kRunningTestButton = "QPushButton{background-color: rgb(0, 255, 0);}";

// Text colour of the test status: black once a test is complete, red otherwise.
inline QColor testStatusColour(int testState)
{
    return testState == 3 ? QColor(0, 0, 0) : QColor(210, 0, 22);
}

constexpr const char* kDangerPictureEnglish = ":/dangerEn.jpg";
constexpr const char* kDangerPictureChinese = ":/dangerZh.jpg";

}  // namespace windowstyle
