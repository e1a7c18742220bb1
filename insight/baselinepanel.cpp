#include "insight/baselinepanel.h"

#include "analysis/quantities.h"
#include "insight/lockedrow.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const char* const kHeaders[BaselinePanel::ColumnCount] = {
    QT_TRANSLATE_NOOP("BaselinePanel", "绕组"),   QT_TRANSLATE_NOOP("BaselinePanel", "分接"),
    QT_TRANSLATE_NOOP("BaselinePanel", "相别"),   QT_TRANSLATE_NOOP("BaselinePanel", "本次折算值"),
    QT_TRANSLATE_NOOP("BaselinePanel", "参考折算值"), QT_TRANSLATE_NOOP("BaselinePanel", "偏差"),
    QT_TRANSLATE_NOOP("BaselinePanel", "结论"),
};
const char* const kButtonStyle = "QPushButton{background-color: rgb(142, 189, 243);}";
const QColor kVerdictColours[] = {QColor(200, 240, 200), QColor(255, 230, 160), QColor(255, 190, 190)};

QDoubleSpinBox* limitBox(QWidget* parent, const char* name)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setDecimals(analysis::JudgementLimits::kDecimals);
    box->setRange(analysis::JudgementLimits::kMinPercent, analysis::JudgementLimits::kMaxPercent);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" %"));
    return box;
}

QString ohmsText(double ohms)
{
    const analysis::ResistanceUnit unit = analysis::unitFor(ohms);
    return QString::number(ohms / unit.ohms, 'f', 4) + unit.name;
}

}  // namespace

BaselinePanel::BaselinePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("baselinePanel"));
    reference_ = new QComboBox(this);
    reference_->setObjectName(QStringLiteral("comboBox_reference"));
    reference_->addItems({QString(), QString()});
    passLabel_ = new QLabel(this);
    passLimit_ = limitBox(this, "doubleSpinBox_passLimit");
    watchLabel_ = new QLabel(this);
    watchLimit_ = limitBox(this, "doubleSpinBox_watchLimit");
    edit_ = new QPushButton(this);
    edit_->setObjectName(QStringLiteral("pushButton_editBaseline"));
    edit_->setStyleSheet(QLatin1String(kButtonStyle));
    model_ = new QStandardItemModel(this);
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("tableView_baseline"));
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view_->horizontalHeader()->setStretchLastSection(true);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("label_baselineNote"));
    note_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* header = new QHBoxLayout;
    header->addWidget(reference_);
    header->addStretch(1);
    header->addWidget(passLabel_);
    header->addWidget(passLimit_);
    header->addSpacing(8);
    header->addWidget(watchLabel_);
    header->addWidget(watchLimit_);
    header->addSpacing(8);
    header->addWidget(edit_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(view_, 1);
    layout->addWidget(note_);

    setLimits({});
    auto changed = [this] {
        // The second band starts where the first ends.
        watchLimit_->setMinimum(passLimit_->value());
        emit limitsChanged(limits());
    };
    connect(passLimit_, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    connect(watchLimit_, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    connect(reference_, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &BaselinePanel::referenceChanged);
    connect(edit_, &QPushButton::clicked, this, &BaselinePanel::editRequested);
    retranslate();
}

analysis::JudgementLimits BaselinePanel::limits() const
{
    return {passLimit_->value(), watchLimit_->value()};
}

void BaselinePanel::setLimits(const analysis::JudgementLimits& limits)
{
    {
        const QSignalBlocker blockPass(passLimit_);
        const QSignalBlocker blockWatch(watchLimit_);
        passLimit_->setValue(limits.passPercent);
        watchLimit_->setMinimum(limits.passPercent);
        watchLimit_->setValue(limits.watchPercent);
    }
    refresh();
}

BaselinePanel::Reference BaselinePanel::reference() const
{
    return reference_->currentIndex() == 1 ? Reference::PreviousSession : Reference::Baseline;
}

void BaselinePanel::showLines(const QList<Line>& lines, const QString& note)
{
    lines_ = lines;
    note_->setText(note);
    note_->setToolTip(note);
    refresh();
}

void BaselinePanel::retranslate()
{
    reference_->setItemText(0, tr("基准值"));
    reference_->setItemText(1, tr("上次测试"));
    reference_->setToolTip(tr("与测试对象的基准值比较，或与它的上次测试比较"));
    passLabel_->setText(tr("合格限值"));
    watchLabel_->setText(tr("注意限值"));
    edit_->setText(tr("编辑基准值"));
    edit_->setToolTip(tr("输入或修改当前测试对象的基准值"));
    refresh();
}

void BaselinePanel::refresh()
{
    model_->clear();
    QStringList headers;
    for (const char* header : kHeaders)
        headers << tr(header);
    model_->setHorizontalHeaderLabels(headers);
    for (const Line& line : lines_) {
        const analysis::Comparison& c = line.comparison;
        QList<QStandardItem*> items = lockedRow({
            line.winding,
            line.tapping,
            line.phase,
            ohmsText(c.rowOhms),
            ohmsText(c.referenceOhms),
            QString::asprintf("%+.3f %%", c.judgement.deviationPercent),
            analysis::verdictText(c.judgement.verdict),
        });
        items[Verdict]->setBackground(kVerdictColours[int(c.judgement.verdict)]);
        const QString corrected = tr("折算到 %1℃").arg(c.referenceTemp);
        items[RowValue]->setToolTip(corrected);
        items[ReferenceValue]->setToolTip(corrected);
        model_->appendRow(items);
    }
    showVerdictFirst();
}

// On screen the verdict and the deviation follow the phase, so that the narrow
// tab shows them without scrolling; the model keeps its order.
void BaselinePanel::showVerdictFirst()
{
    QHeaderView* header = view_->horizontalHeader();
    header->moveSection(header->visualIndex(Verdict), Phase + 1);
    header->moveSection(header->visualIndex(Deviation), Phase + 2);
}

void BaselinePanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
