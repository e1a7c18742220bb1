#pragma once
// What the status bar shows of the exports: a progress bar with Cancel once
// an export has run a moment, and when a file is written "已保存：" with its
// path and a button that opens its folder.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

class BackgroundExport;
class QProgressBar;
class QPushButton;
class QStatusBar;

class ExportStatus : public QObject
{
    Q_OBJECT

public:
    static constexpr int kProgressDelayMs = 300;  // shorter exports show no progress
    static constexpr int kProgressRefreshMs = 100;

    // The widgets go to the right end of the bar, until this is destroyed.
    ExportStatus(QStatusBar* bar, BackgroundExport* exports, QObject* parent);
    ~ExportStatus() override;

signals:
    void openFolderRequested(const QString& folder);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void retranslate();
    void showProgress();
    void showEnd(const QString& path, bool written, bool cancelled);

    QStatusBar* const bar;
    BackgroundExport* const exports;
    QPointer<QWidget> strip;  // the bar's, when the window goes first
    QProgressBar* progress;
    QPushButton* cancelButton;
    QPushButton* folderButton;
    QTimer progressDelay;
    QTimer progressRefresh;
    QString savedFolder;
    QString savedMessage;
};
