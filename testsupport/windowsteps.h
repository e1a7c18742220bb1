#pragma once
// Steps shared by the tools that drive the main window: finding a named child
// and running the event loop until a condition holds.

#include "app/chinesefonts.h"
#include "resources/programresources.h"
#include "store/resultstore.h"
#include "store/settingsfiles.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QStandardPaths>
#include <QThread>

#include <cstdio>
#include <functional>

namespace windowsteps {

// The window about to be built starts without the rows a window before it kept.
inline void removeKeptResults()
{
    store::ResultStore::removeFiles(store::ResultStore::defaultPath());
}

// Every window starts in Chinese until a test chooses another language.
inline void forgetLanguage()
{
    QFile::remove(settingsfiles::filePath(QLatin1String(settingsfiles::language::kFile)));
}

template <class T>
T* child(const QObject& window, const char* name)
{
    T* found = window.findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no child named %s", name);
    return found;
}

// Runs the event loop until the condition holds; false after the time-out.
inline bool waitUntil(const std::function<bool()>& condition, const char* what, int timeoutMs)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > timeoutMs) {
            std::fprintf(stderr, "timed out waiting for %s\n", what);
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

}  // namespace windowsteps

// What a program showing the window needs before it is built: a results store
// of its own, its pictures and catalogues, Chinese fonts, and the types its
// threads pass.
inline void prepareWindowProgram()
{
    // Their rows and settings stay apart from the operator's, and every run
    // starts without the rows of the one before.
    QStandardPaths::setTestModeEnabled(true);
    windowsteps::removeKeptResults();
    windowsteps::forgetLanguage();
    registerProgramResources();
    installChineseFontSubstitutes();
}
