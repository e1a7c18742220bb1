#pragma once
// Writes one export file at a time on a thread of its own, so that the window
// keeps painting and answering meanwhile. The texts to write are taken before
// the start: the writer reads nothing the window may change. Cancel stops the
// writer at its next row or page; it then leaves the target as it was.

#include "reports/writeprogress.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QThread;

class BackgroundExport : public QObject
{
    Q_OBJECT

public:
    // Writes the file at path; false with *error when nothing was written.
    using Writer = std::function<bool(const QString& path, const reports::WriteProgress& progress, QString* error)>;

    explicit BackgroundExport(QObject* parent = nullptr);
    // Cancels a running export and waits for its thread.
    ~BackgroundExport() override;

    bool isBusy() const { return thread != nullptr; }
    // Starts writing path; false (and nothing started) while another export runs.
    bool start(const QString& path, Writer writer);
    void cancel();
    // How far the running export has come, 0 to 100.
    int percent() const;

signals:
    void started();
    // written: the file is complete at path; cancelled: the operator stopped it
    // and path is as it was; otherwise error says why nothing was written.
    void finished(const QString& path, bool written, bool cancelled, const QString& error);

private:
    struct Run;
    void end();

    std::shared_ptr<Run> run;
    QThread* thread = nullptr;
};
