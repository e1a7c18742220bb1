#pragma once
// How the window tells the operator something that only needs reading: a
// warning box with OK. The window holds one; tests put in a fake that notes
// the texts without opening a box.

#include <QString>

#include <memory>

class QWidget;

class OperatorMessages {
public:
    virtual ~OperatorMessages() = default;
    virtual void warn(QWidget* parent, const QString& title, const QString& text) = 0;
};

// The platform's modal warning box.
std::unique_ptr<OperatorMessages> makeWarningBoxes();
