#include "app/baselinecomparison.h"

#include "analysis/baselinefile.h"
#include "app/desktopfiles.h"
#include "dialogs/baselinedialog.h"
#include "insight/baselinepanel.h"
#include "store/resultstore.h"
#include "store/settingsfiles.h"

#include <QSettings>

namespace kept = settingsfiles::insight;

BaselineComparison::BaselineComparison(QSettings& settings, QObject* parent)
    : QObject(parent), settings_(settings), panel_(new BaselinePanel)
{
    panel_->setLimits({settingsfiles::read(settings_, kept::kPassLimit), settingsfiles::read(settings_, kept::kWatchLimit)});
    connect(panel_, &BaselinePanel::limitsChanged, this, [this](analysis::JudgementLimits limits) {
        settingsfiles::write(settings_, kept::kPassLimit, limits.passPercent);
        settingsfiles::write(settings_, kept::kWatchLimit, limits.watchPercent);
        refresh();
    });
    connect(panel_, &BaselinePanel::referenceChanged, this, &BaselineComparison::refresh);
    connect(panel_, &BaselinePanel::editRequested, this, &BaselineComparison::editBaseline);
}

void BaselineComparison::setResultStore(store::ResultStore* store)
{
    store_ = store;
    qint64 object = 0;
    if (store_) {
        const QList<store::Row> rows = store_->currentRows(store::TableKind::DcResults);
        object = rows.isEmpty() ? 0 : rows.last().object;
        if (object == 0)
            object = store_->testObjects().value(0).id;
    }
    setObject(object);
}

void BaselineComparison::setObject(qint64 id)
{
    object_ = id;
    refresh();
}

void BaselineComparison::showRows(const std::vector<analysis::DcResult>& rows)
{
    rows_ = rows;
    refresh();
}

QString BaselineComparison::objectText() const
{
    const store::TestObject object = store_ ? store_->testObject(object_) : store::TestObject();
    return object.serial.isEmpty() ? object.name : tr("%1（%2）").arg(object.name, object.serial);
}

// The references of the chosen kind; none, with the reason, when there are none.
QList<analysis::BaselineEntry> BaselineComparison::references(QString* none) const
{
    if (!store_ || object_ == 0) {
        *none = tr("没有测试对象：填写测试对象后才能与基准值比较。");
        return {};
    }
    if (panel_->reference() == BaselinePanel::Reference::Baseline) {
        const QList<analysis::BaselineEntry> baseline = store_->baseline(object_);
        if (baseline.isEmpty())
            *none = tr("测试对象“%1”还没有基准值：请导入或编辑。").arg(objectText());
        return baseline;
    }
    // Earlier sessions come newest first: the first of this object is its previous one.
    for (const store::SessionSummary& session : store_->earlierSessions()) {
        if (session.kind != store::TableKind::DcResults || session.object.id != object_)
            continue;
        std::vector<analysis::DcResult> rows;
        for (const store::Row& row : store_->sessionRows(session.id))
            rows.push_back(analysis::dcResultFromCells(row.cells));
        return analysis::referencesFromSession(rows);
    }
    *none = tr("测试对象“%1”没有更早的直流电阻测试。").arg(objectText());
    return {};
}

void BaselineComparison::refresh()
{
    QString note;
    const QList<analysis::BaselineEntry> referenceList = references(&note);
    const analysis::Comparisons comparisons = analysis::compareWithBaseline(rows_, referenceList, panel_->limits());
    judgements_ = analysis::judgementsOf(comparisons);
    QList<BaselinePanel::Line> lines;
    for (std::size_t i = 0; i < comparisons.size(); ++i) {
        if (comparisons[i])
            lines << BaselinePanel::Line{rows_[i].winding, rows_[i].tapping, rows_[i].phase, *comparisons[i]};
    }
    if (note.isEmpty())
        note = tr("测试对象“%1”：%2 行有参考值，共 %3 行。").arg(objectText()).arg(lines.size()).arg(rows_.size());
    panel_->showLines(lines, note);
}

void BaselineComparison::editBaseline()
{
    if (!store_ || object_ == 0) {
        emit warningRequested(tr("请先填写测试对象。"));
        return;
    }
    BaselineDialog dialog(objectText(), panel_->window());
    dialog.setEntries(store_->baseline(object_));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!store_->setBaseline(object_, dialog.entries()))
        emit warningRequested(tr("基准值未能保存：%1").arg(store_->failure()));
    refresh();
}

void BaselineComparison::importBaseline(QWidget* window, DesktopFiles& files)
{
    if (!store_ || object_ == 0) {
        emit warningRequested(tr("请先填写测试对象。"));
        return;
    }
    const QString path =
        files.openFileName(window, tr("导入基准值"), tr("基准值文件 (*.csv *.xlsx);;所有文件 (*)"));
    if (path.isEmpty())
        return;
    const QString problem = importFile(path);
    if (!problem.isEmpty())
        emit warningRequested(problem);
}

QString BaselineComparison::importFile(const QString& path)
{
    if (!store_ || object_ == 0)
        return tr("请先填写测试对象。");
    const analysis::BaselineFileRead read = analysis::readBaselineFile(path);
    if (!read.ok())
        return tr("基准值未导入。%1").arg(read.problem);
    if (!store_->setBaseline(object_, read.entries))
        return tr("基准值未能保存：%1").arg(store_->failure());
    emit messageShown(tr("已为“%1”导入 %2 条基准值").arg(objectText()).arg(read.entries.size()));
    refresh();
    return QString();
}
