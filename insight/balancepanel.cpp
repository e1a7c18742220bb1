#include "insight/balancepanel.h"

#include "insight/lockedrow.h"

#include <QDoubleSpinBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

using analysis::BalanceGroup;

namespace {

const char* const kHeaders[BalancePanel::ColumnCount] = {
    QT_TRANSLATE_NOOP("BalancePanel", "绕组"),   QT_TRANSLATE_NOOP("BalancePanel", "分接"),
    QT_TRANSLATE_NOOP("BalancePanel", "相别"),   QT_TRANSLATE_NOOP("BalancePanel", "电阻"),
    QT_TRANSLATE_NOOP("BalancePanel", "依据"),   QT_TRANSLATE_NOOP("BalancePanel", "不平衡率"),
    QT_TRANSLATE_NOOP("BalancePanel", "限值"),   QT_TRANSLATE_NOOP("BalancePanel", "结论"),
};
const char* const kButtonStyle = "QPushButton{background-color: rgb(142, 189, 243);}";
constexpr int kWidestReadColumns = 640;  // pixels; an incomplete group's long text scrolls
const QColor kPassColour(200, 240, 200);
const QColor kFailColour(255, 190, 190);
const QColor kIncompleteColour(230, 230, 230);

QDoubleSpinBox* limitBox(QWidget* parent, const char* name)
{
    auto* box = new QDoubleSpinBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setDecimals(analysis::BalanceLimits::kDecimals);
    box->setRange(analysis::BalanceLimits::kMinPercent, analysis::BalanceLimits::kMaxPercent);
    box->setSingleStep(0.1);
    box->setSuffix(QStringLiteral(" %"));
    return box;
}

QString percentText(double value, int decimals)
{
    return QString::number(value, 'f', decimals) + QStringLiteral(" %");
}

QString joinedList(const QStringList& parts)
{
    QString list = parts.value(0);
    for (int i = 1; i < parts.size(); ++i)
        list = BalancePanel::tr("%1、%2").arg(list, parts[i]);
    return list;
}

}  // namespace

BalancePanel::BalancePanel(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("balancePanel"));
    title_ = new QLabel(this);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    phaseLabel_ = new QLabel(this);
    phaseLimit_ = limitBox(this, "doubleSpinBox_phaseLimit");
    lineLabel_ = new QLabel(this);
    lineLimit_ = limitBox(this, "doubleSpinBox_lineLimit");
    export_ = new QPushButton(this);
    export_->setObjectName(QStringLiteral("pushButton_exportBalance"));
    export_->setStyleSheet(QLatin1String(kButtonStyle));
    model_ = new QStandardItemModel(this);
    view_ = new QTableView(this);
    view_->setObjectName(QStringLiteral("tableView_balance"));
    view_->setModel(model_);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view_->horizontalHeader()->setStretchLastSection(true);
    crossCheck_ = new QLabel(this);
    crossCheck_->setObjectName(QStringLiteral("label_crossCheck"));
    // One line that never widens the panel; the whole text is its tooltip.
    crossCheck_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);

    auto* header = new QHBoxLayout;
    header->addWidget(title_);
    header->addStretch(1);
    header->addWidget(phaseLabel_);
    header->addWidget(phaseLimit_);
    header->addSpacing(8);
    header->addWidget(lineLabel_);
    header->addWidget(lineLimit_);
    header->addSpacing(8);
    header->addWidget(export_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(header);
    layout->addWidget(view_, 1);
    layout->addWidget(crossCheck_);

    setLimits({});
    auto changed = [this] {
        refresh();
        emit limitsChanged(limits());
    };
    connect(phaseLimit_, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    connect(lineLimit_, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, changed);
    connect(export_, &QPushButton::clicked, this, &BalancePanel::exportRequested);
    retranslate();
}

analysis::BalanceLimits BalancePanel::limits() const
{
    return {phaseLimit_->value(), lineLimit_->value()};
}

void BalancePanel::setLimits(const analysis::BalanceLimits& limits)
{
    {
        const QSignalBlocker blockPhase(phaseLimit_);
        const QSignalBlocker blockLine(lineLimit_);
        phaseLimit_->setValue(limits.phasePercent);
        lineLimit_->setValue(limits.linePercent);
    }
    refresh();
}

void BalancePanel::showResults(const std::vector<analysis::DcResult>& rows, const QStringList& rowNumbers)
{
    rows_ = rows;
    rowNumbers_ = rowNumbers;
    refresh();
}

QStringList BalancePanel::headerTexts() const
{
    QStringList texts;
    for (int column = 0; column < ColumnCount; ++column)
        texts << headerText(Column(column));
    return texts;
}

QString BalancePanel::headerText(Column column)
{
    return tr(kHeaders[column]);
}

QString BalancePanel::statusText(BalanceGroup::Status status)
{
    switch (status) {
    case BalanceGroup::Pass:
        return tr("合格");
    case BalanceGroup::Fail:
        return tr("不合格");
    case BalanceGroup::Incomplete:
        break;
    }
    return tr("不完整");
}

QList<QStringList> BalancePanel::rowTexts() const
{
    QList<QStringList> rows;
    for (int r = 0; r < model_->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model_->columnCount(); ++c)
            cells << model_->index(r, c).data().toString();
        rows << cells;
    }
    return rows;
}

QString BalancePanel::crossCheckText() const
{
    return crossCheck_->text();
}

void BalancePanel::retranslate()
{
    title_->setText(tr("三相平衡"));
    phaseLabel_->setText(tr("相电阻限值"));
    lineLabel_->setText(tr("线电阻限值"));
    export_->setText(tr("导出"));
    export_->setToolTip(tr("把三相平衡汇总保存为 Excel 文件"));
    refresh();
}

void BalancePanel::setTitleVisible(bool visible)
{
    title_->setVisible(visible);
}

void BalancePanel::showCrossCheck(const QString& text)
{
    crossCheck_->setText(text);
    crossCheck_->setToolTip(text);
}

// On screen the verdict and the imbalance follow the phases, so that a narrow
// panel shows them without scrolling; the model (and the workbook) keep their order.
void BalancePanel::showVerdictFirst()
{
    QHeaderView* header = view_->horizontalHeader();
    header->moveSection(header->visualIndex(Verdict), Phases + 1);
    header->moveSection(header->visualIndex(Imbalance), Phases + 2);
}

// The columns up to the resistances are what the operator reads: the table
// asks for their width, so that beside the result table at the first window
// size none of them is cut (the side area takes the width from the result
// table, which keeps its measured column in sight). The basis and the limit
// may stay to the right.
void BalancePanel::keepResistancesInSight()
{
    QHeaderView* header = view_->horizontalHeader();
    header->resizeSections(QHeaderView::ResizeToContents);
    int width = 2 * view_->frameWidth() + view_->verticalScrollBar()->sizeHint().width();
    for (int visual = 0; visual <= header->visualIndex(Values); ++visual)
        width += header->sectionSize(header->logicalIndex(visual));
    view_->setMinimumWidth(std::min(width, kWidestReadColumns));
}

void BalancePanel::refresh()
{
    model_->clear();
    model_->setHorizontalHeaderLabels(headerTexts());
    for (const BalanceGroup& g : analysis::balanceGroups(rows_, limits()))
        model_->appendRow(groupRow(g));
    showVerdictFirst();
    keepResistancesInSight();

    QStringList differing;
    int checked = 0;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const analysis::CrossCheck check = analysis::crossCheck(rows_[i]);
        if (check.verdict == analysis::CrossCheck::NotApplicable)
            continue;
        ++checked;
        if (check.verdict == analysis::CrossCheck::Differs)
            differing << tr("第 %1 行（%2）").arg(rowNumbers_.value(int(i)), percentText(check.deviationPercent, 2));
    }
    if (checked == 0)
        showCrossCheck(tr("温度核对：没有可核对的行。"));
    else if (differing.isEmpty())
        showCrossCheck(tr("温度核对：%1 行的折算电阻都与按温度换算的值相符。").arg(checked));
    else
        showCrossCheck(tr("温度核对：折算电阻与按温度换算的值相差超过 0.2 %，请检查仪器上的材质和温度：%1")
                                 .arg(joinedList(differing)));
}

QList<QStandardItem*> BalancePanel::groupRow(const BalanceGroup& g) const
{
    const bool computed = g.status != BalanceGroup::Incomplete;
    QColor colour = kIncompleteColour;
    if (g.status == BalanceGroup::Pass)
        colour = kPassColour;
    else if (g.status == BalanceGroup::Fail)
        colour = kFailColour;
    QString basis;
    if (computed)
        basis = g.basis == BalanceGroup::Converted ? tr("折算电阻") : tr("测试电阻");
    const QStringList texts{
        g.winding,
        g.tapping,
        analysis::phaseNames(g.kind).join(QLatin1Char('/')),
        valuesText(g),
        basis,
        computed ? percentText(g.imbalancePercent, 3) : QString(),
        percentText(g.limitPercent, 2),
        statusText(g.status),
    };
    QList<QStandardItem*> items = lockedRow(texts);
    items[Verdict]->setBackground(colour);
    if (!computed)
        items[Verdict]->setToolTip(tr("三相中有缺少的相、超量程或没有读数的行，不计算不平衡率。"));
    return items;
}

// The three compared values in one unit, in the order of the phases column
// (which names them); for an incomplete group the rows found are named by
// their table numbers.
QString BalancePanel::valuesText(const BalanceGroup& g) const
{
    QStringList parts;
    const QStringList names = analysis::phaseNames(g.kind);
    if (g.status == BalanceGroup::Incomplete) {
        for (int i = 0; i < 3; ++i) {
            const int row = g.rows[static_cast<std::size_t>(i)];
            parts << names[i] + QLatin1Char(' ') + (row >= 0 ? tr("第 %1 行").arg(rowNumbers_.value(row)) : tr("缺"));
        }
        return parts.join(QStringLiteral("  "));
    }
    const analysis::ResistanceUnit unit = analysis::unitFor((g.ohms[0] + g.ohms[1] + g.ohms[2]) / 3.0);
    for (double ohms : g.ohms)
        parts << QString::number(ohms / unit.ohms, 'f', 3);
    return parts.join(QLatin1Char('/')) + QLatin1Char(' ') + unit.name;
}

void BalancePanel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}
