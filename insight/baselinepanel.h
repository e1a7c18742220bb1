#pragma once
// The comparison of the DC results with their references: a line per result
// row that has one (the object's baseline or its previous session), with both
// values at the row's reference temperature, the deviation and the verdict,
// the operator's two limits, the choice of reference and a button that opens
// the baseline for editing.

#include "analysis/deviation.h"

#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTableView;

class BaselinePanel : public QWidget
{
    Q_OBJECT

public:
    enum class Reference { Baseline, PreviousSession };
    enum Column { Winding, Tapping, Phase, RowValue, ReferenceValue, Deviation, Verdict, ColumnCount };

    struct Line {
        QString winding;
        QString tapping;
        QString phase;
        analysis::Comparison comparison;
    };

    explicit BaselinePanel(QWidget* parent = nullptr);

    // `note` says what was compared with, or why nothing could be.
    void showLines(const QList<Line>& lines, const QString& note);

    analysis::JudgementLimits limits() const;
    void setLimits(const analysis::JudgementLimits& limits);  // emits nothing
    Reference reference() const;

    QStandardItemModel* model() const { return model_; }

signals:
    void limitsChanged(analysis::JudgementLimits limits);
    void referenceChanged();
    void editRequested();

protected:
    void changeEvent(QEvent* event) override;

private:
    void retranslate();
    void refresh();
    void showVerdictFirst();

    QComboBox* reference_ = nullptr;
    QLabel* passLabel_ = nullptr;
    QDoubleSpinBox* passLimit_ = nullptr;
    QLabel* watchLabel_ = nullptr;
    QDoubleSpinBox* watchLimit_ = nullptr;
    QPushButton* edit_ = nullptr;
    QTableView* view_ = nullptr;
    QStandardItemModel* model_ = nullptr;
    QLabel* note_ = nullptr;
    QList<Line> lines_;
};

Q_DECLARE_METATYPE(analysis::JudgementLimits)
