#include "app/desktopfiles.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QUrl>

namespace {

class SystemDesktopFiles : public DesktopFiles {
public:
    // A name typed without a suffix gets the proposed file's, before the
    // dialog asks whether to replace an existing file of that name.
    QString saveFileName(QWidget* parent, const QString& caption, const QString& proposedPath,
                         const QString& filter) override
    {
        QFileDialog dialog(parent, caption, proposedPath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(QFileInfo(proposedPath).suffix());
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.selectedFiles().value(0);
    }

    QString openFileName(QWidget* parent, const QString& caption, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    }

    void openWithDefaultApplication(const QString& path) override
    {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
};

}  // namespace

std::unique_ptr<DesktopFiles> makeSystemDesktopFiles()
{
    return std::make_unique<SystemDesktopFiles>();
}
