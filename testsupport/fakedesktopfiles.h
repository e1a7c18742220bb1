#pragma once
// A stand-in for the window's file dialogs and desktop opener: answers the
// dialog with a chosen path and notes what was asked and opened.

#include "app/desktopfiles.h"

#include <QStringList>

#include <memory>

namespace windowtest {

struct FileLog {
    QString answer;
    QStringList captions;
    QStringList proposed;
    QStringList filters;
    QStringList opened;
};

class FakeDesktopFiles : public DesktopFiles {
public:
    explicit FakeDesktopFiles(std::shared_ptr<FileLog> log) : log_(std::move(log)) {}
    QString saveFileName(QWidget*, const QString& caption, const QString& proposedPath, const QString& filter) override
    {
        log_->captions << caption;
        log_->proposed << proposedPath;
        log_->filters << filter;
        return log_->answer;
    }
    QString openFileName(QWidget*, const QString& caption, const QString& filter) override
    {
        log_->captions << caption;
        log_->filters << filter;
        return log_->answer;
    }
    void openWithDefaultApplication(const QString& path) override { log_->opened << path; }

private:
    std::shared_ptr<FileLog> log_;
};

}  // namespace windowtest
