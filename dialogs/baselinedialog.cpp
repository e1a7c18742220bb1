#include "dialogs/baselinedialog.h"

#include "data/formattables.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cmath>
#include <functional>
#include <optional>

namespace {

constexpr int kPhaseCount = 6;
constexpr int kChoiceCount = 2;  // windings, materials
const char* const kHeaders[BaselineDialog::ColumnCount] = {
    QT_TRANSLATE_NOOP("BaselineDialog", "绕组"),      QT_TRANSLATE_NOOP("BaselineDialog", "分接"),
    QT_TRANSLATE_NOOP("BaselineDialog", "相别"),      QT_TRANSLATE_NOOP("BaselineDialog", "电阻 (Ω)"),
    QT_TRANSLATE_NOOP("BaselineDialog", "温度 (℃)"), QT_TRANSLATE_NOOP("BaselineDialog", "材质"),
};

QComboBox* choiceBox(const std::function<std::optional<QString>(int)>& texts, int count, int current)
{
    auto* box = new QComboBox;
    for (int i = 0; i < count; ++i)
        box->addItem(texts(i).value_or(QString()));
    box->setCurrentIndex(current);
    return box;
}

std::optional<double> ohmsOf(const QString& text)
{
    bool ok = false;
    const double ohms = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok && ohms > 0.0 && std::isfinite(ohms) ? std::optional<double>(ohms) : std::nullopt;
}

int phaseIndex(const QString& phase)
{
    for (int i = 0; i < kPhaseCount; ++i) {
        if (formattables::phase(i) == phase)
            return i;
    }
    return 0;
}

}  // namespace

BaselineDialog::BaselineDialog(const QString& objectName, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("BaselineDialog"));
    setWindowTitle(tr("基准值：%1").arg(objectName));
    table_ = new QTableWidget(0, ColumnCount, this);
    table_->setObjectName(QStringLiteral("tableWidget_baseline"));
    QStringList headers;
    for (const char* header : kHeaders)
        headers << tr(header);
    table_->setHorizontalHeaderLabels(headers);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    auto* add = new QPushButton(tr("添加行"), this);
    add->setObjectName(QStringLiteral("pushButton_addLine"));
    auto* remove = new QPushButton(tr("删除行"), this);
    remove->setObjectName(QStringLiteral("pushButton_removeLine"));
    problem_ = new QLabel(this);
    problem_->setStyleSheet(QStringLiteral("color: rgb(200, 0, 0);"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* lineButtons = new QHBoxLayout;
    lineButtons->addWidget(add);
    lineButtons->addWidget(remove);
    lineButtons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_, 1);
    layout->addLayout(lineButtons);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    resize(640, 360);

    connect(add, &QPushButton::clicked, this, [this] {
        // A new line starts as a copy of the one above: the next phase of the same winding is the usual step.
        const QList<store::BaselineEntry> now = entries();
        addLine(now.isEmpty() ? store::BaselineEntry{} : now.last());
    });
    connect(remove, &QPushButton::clicked, this, &BaselineDialog::removeCurrentLine);
    connect(buttons, &QDialogButtonBox::accepted, this, &BaselineDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BaselineDialog::reject);
}

void BaselineDialog::setEntries(const QList<store::BaselineEntry>& entries)
{
    table_->setRowCount(0);
    for (const store::BaselineEntry& entry : entries)
        addLine(entry);
}

void BaselineDialog::addLine(const store::BaselineEntry& entry)
{
    const int row = table_->rowCount();
    table_->insertRow(row);
    table_->setCellWidget(row, Winding, choiceBox(formattables::winding, kChoiceCount, entry.winding));
    table_->setItem(row, Tapping, new QTableWidgetItem(entry.tapping));
    table_->setCellWidget(row, Phase, choiceBox(formattables::phase, kPhaseCount, phaseIndex(entry.phase)));
    auto* ohms = new QLineEdit(entry.ohms > 0.0 ? QString::number(entry.ohms, 'g', 10) : QString());
    ohms->setPlaceholderText(QStringLiteral("0.001234"));
    table_->setCellWidget(row, Ohms, ohms);
    auto* celsius = new QDoubleSpinBox;
    celsius->setRange(-50.0, 200.0);
    celsius->setDecimals(1);
    celsius->setValue(entry.celsius);
    table_->setCellWidget(row, Celsius, celsius);
    table_->setCellWidget(row, Material, choiceBox(formattables::conductorMaterial, kChoiceCount, entry.material));
    table_->setCurrentCell(row, Tapping);
}

void BaselineDialog::removeCurrentLine()
{
    if (table_->currentRow() >= 0)
        table_->removeRow(table_->currentRow());
}

QList<store::BaselineEntry> BaselineDialog::entries() const
{
    QList<store::BaselineEntry> entries;
    for (int row = 0; row < table_->rowCount(); ++row) {
        store::BaselineEntry entry;
        entry.winding = static_cast<QComboBox*>(table_->cellWidget(row, Winding))->currentIndex();
        const QTableWidgetItem* tapping = table_->item(row, Tapping);
        entry.tapping = tapping ? tapping->text().trimmed() : QString();
        entry.phase = static_cast<QComboBox*>(table_->cellWidget(row, Phase))->currentText();
        entry.ohms = ohmsOf(static_cast<QLineEdit*>(table_->cellWidget(row, Ohms))->text()).value_or(0.0);
        entry.celsius = static_cast<QDoubleSpinBox*>(table_->cellWidget(row, Celsius))->value();
        entry.material = static_cast<QComboBox*>(table_->cellWidget(row, Material))->currentIndex();
        entries << entry;
    }
    return entries;
}

int BaselineDialog::firstBadLine() const
{
    for (int row = 0; row < table_->rowCount(); ++row) {
        if (!ohmsOf(static_cast<QLineEdit*>(table_->cellWidget(row, Ohms))->text()))
            return row;
    }
    return -1;
}

void BaselineDialog::accept()
{
    const int bad = firstBadLine();
    if (bad >= 0) {
        problem_->setText(tr("第 %1 行：电阻应是大于 0 的数（单位 Ω）").arg(bad + 1));
        table_->setCurrentCell(bad, Ohms);
        return;
    }
    QDialog::accept();
}
