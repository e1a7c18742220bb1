#pragma once
// How the window asks the operator where to save a file or which to read, and hands a written
// file to the desktop. The window holds one; tests put in a fake that answers
// without opening a dialog or a viewer.

#include <QString>

#include <memory>

class QWidget;

class DesktopFiles {
public:
    virtual ~DesktopFiles() = default;
    // The chosen path; empty when the operator cancelled.
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& proposedPath,
                                 const QString& filter) = 0;
    // The chosen existing file; empty when the operator cancelled.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& filter) = 0;
    // Opens the file with the desktop's default application for its kind.
    virtual void openWithDefaultApplication(const QString& path) = 0;
};

// The platform's save dialog and default applications.
std::unique_ptr<DesktopFiles> makeSystemDesktopFiles();
