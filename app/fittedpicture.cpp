#include "app/fittedpicture.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>

namespace {

const char* const kFitterName = "fittedPicture";

// Lives as a child of its label and keeps the picture at full resolution.
class PictureFitter : public QObject
{
public:
    explicit PictureFitter(QLabel* label) : QObject(label), label_(label)
    {
        setObjectName(QLatin1String(kFitterName));
        label->installEventFilter(this);
    }

    void show(const QPixmap& picture)
    {
        picture_ = picture;
        fit();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == label_ && event->type() == QEvent::Resize)
            fit();
        return false;
    }

private:
    void fit()
    {
        const QSize place = label_->contentsRect().size();
        if (picture_.isNull() || place.isEmpty())
            return;
        const qreal ratio = label_->devicePixelRatioF();
        QPixmap scaled = picture_.scaled(place * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        label_->setPixmap(scaled);
    }

    QLabel* label_;
    QPixmap picture_;
};

}  // namespace

void showFittedPicture(QLabel* label, const QPixmap& picture)
{
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    // Only this file makes children of that name.
    auto* fitter = static_cast<PictureFitter*>(
        label->findChild<QObject*>(QLatin1String(kFitterName), Qt::FindDirectChildrenOnly));
    if (!fitter)
        fitter = new PictureFitter(label);
    fitter->show(picture);
}
