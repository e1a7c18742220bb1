#pragma once
// The "Baseline" tab of the DC page: each result row against its reference,
// the current test object's baseline or the object's previous DC session,
// with the operator's limits (kept with the balance limits); the baseline
// edited in a dialog or imported from a file into the results store.

#include "analysis/deviation.h"

#include <QObject>

#include <vector>

class BaselinePanel;
class DesktopFiles;
class QSettings;
class QWidget;
namespace store {
class ResultStore;
}

class BaselineComparison : public QObject
{
    Q_OBJECT

public:
    BaselineComparison(QSettings& settings, QObject* parent = nullptr);

    BaselinePanel* panel() const { return panel_; }
    // The object then is the one of the last kept DC row, or else the one named last.
    void setResultStore(store::ResultStore* store);
    qint64 object() const { return object_; }

    // The DC table's rows as they stand.
    void showRows(const std::vector<analysis::DcResult>& rows);
    // One entry per row of the DC table.
    const analysis::Judgements& judgements() const { return judgements_; }

    // Asks for a CSV or XLSX file and keeps its entries as the object's baseline.
    void importBaseline(QWidget* window, DesktopFiles& files);
    // The entries of a file as the object's baseline; the problem, empty when kept.
    QString importFile(const QString& path);

public slots:
    void setObject(qint64 id);

signals:
    void warningRequested(const QString& message);
    void messageShown(const QString& message);

private:
    void refresh();
    QList<analysis::BaselineEntry> references(QString* none) const;
    QString objectText() const;
    void editBaseline();

    QSettings& settings_;
    BaselinePanel* panel_ = nullptr;
    store::ResultStore* store_ = nullptr;
    qint64 object_ = 0;
    std::vector<analysis::DcResult> rows_;
    analysis::Judgements judgements_;
};
