#include "app/exportstatus.h"

#include "app/backgroundexport.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

namespace {

QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

}  // namespace

ExportStatus::ExportStatus(QStatusBar* bar, BackgroundExport* exports, QObject* parent)
    : QObject(parent), bar(bar), exports(exports), strip(new QWidget), progress(new QProgressBar(strip)),
      cancelButton(new QPushButton(strip)), folderButton(new QPushButton(strip))
{
    progress->setObjectName(QStringLiteral("progressBar_export"));
    progress->setRange(0, 100);
    progress->setMaximumWidth(200);
    cancelButton->setObjectName(QStringLiteral("pushButton_cancelExport"));
    folderButton->setObjectName(QStringLiteral("pushButton_openExportFolder"));
    folderButton->setFlat(true);
    // Showing and hiding these must not resize the window's pages: a table of
    // thousands of rows fitted to its contents takes seconds to lay out again.
    // So they keep their place when hidden and no more height than the bar's.
    const int height = bar->sizeHint().height() - 4;
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : {static_cast<QWidget*>(progress), static_cast<QWidget*>(cancelButton),
                            static_cast<QWidget*>(folderButton)}) {
        QSizePolicy policy = widget->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        widget->setSizePolicy(policy);
        widget->setMaximumHeight(height);
        layout->addWidget(widget);
        widget->hide();
    }
    bar->addPermanentWidget(strip);
    retranslate();
    strip->installEventFilter(this);

    progressDelay.setSingleShot(true);
    progressDelay.setInterval(kProgressDelayMs);
    progressRefresh.setInterval(kProgressRefreshMs);
    connect(&progressDelay, &QTimer::timeout, this, &ExportStatus::showProgress);
    connect(&progressRefresh, &QTimer::timeout, this, [this] { progress->setValue(this->exports->percent()); });
    connect(exports, &BackgroundExport::started, this, [this] {
        folderButton->hide();
        progress->setValue(0);
        progressDelay.start();
    });
    connect(exports, &BackgroundExport::finished, this,
            [this](const QString& path, bool written, bool cancelled, const QString&) {
                showEnd(path, written, cancelled);
            });
    connect(cancelButton, &QPushButton::clicked, exports, &BackgroundExport::cancel);
    connect(folderButton, &QPushButton::clicked, this, [this] { emit openFolderRequested(savedFolder); });
    // The button belongs to the "saved" message: it goes when another message comes.
    connect(bar, &QStatusBar::messageChanged, this, [this](const QString& text) {
        if (text != savedMessage)
            folderButton->hide();
    });
}

ExportStatus::~ExportStatus()
{
    delete strip;
}

bool ExportStatus::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == strip && event->type() == QEvent::LanguageChange)
        retranslate();
    return QObject::eventFilter(watched, event);
}

void ExportStatus::retranslate()
{
    progress->setFormat(translated("正在导出 %p%"));
    cancelButton->setText(translated("取消导出"));
    folderButton->setText(translated("打开所在文件夹"));
}

void ExportStatus::showProgress()
{
    progress->setValue(exports->percent());
    progress->show();
    cancelButton->show();
    progressRefresh.start();
}

void ExportStatus::showEnd(const QString& path, bool written, bool cancelled)
{
    progressDelay.stop();
    progressRefresh.stop();
    progress->hide();
    cancelButton->hide();
    if (cancelled) {
        bar->showMessage(translated("导出已取消，未写入文件"));
    } else if (written) {
        savedFolder = QFileInfo(path).absolutePath();
        savedMessage = translated("已保存：%1").arg(QDir::toNativeSeparators(path));
        bar->showMessage(savedMessage);
        folderButton->show();
    }
}
