#include "desktopfiles.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

namespace {

class SystemDesktopFiles : public DesktopFiles {
public:
    QString saveFileName(QWidget* parent, const QString& caption, const QString& proposedPath,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, proposedPath, filter);
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
