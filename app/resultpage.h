#pragma once
// One test page as its field table describes it: the captions, the live
// reading, the setting widgets and lists, the result table and the report's
// sections of the page. Both test pages are one of these.

#include "app/pagefields.h"
#include "reports/reportcontent.h"
#include "reports/texttable.h"

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>
#include <vector>

class QAbstractItemModel;
class QComboBox;
class QLabel;
class QStackedWidget;
class QStandardItemModel;
class QTableView;
class QTextEdit;
class QToolButton;

class ResultPage : public QObject
{
    Q_OBJECT

public:
    // Where the rows of the result table are kept besides the table.
    struct RowKeeping {
        // The row's id; settled: whether the reading had settled when the test ended.
        std::function<qint64(const QStringList& texts, const QByteArray& trace, std::optional<bool> settled)> keep;
        std::function<void(const QAbstractItemModel& model, const std::vector<int>& rows)> forget;
        std::function<void()> forgetAll;
    };

    // `page` holds the widgets the table names.
    ResultPage(QWidget* page, const PageTable& table, RowKeeping keeping, QObject* parent = nullptr);

    void setCaptions();
    void fillSettingLists();
    void setSettingWidgetsEnabled(bool enabled);
    void clearValues();
    // testWasRunning: the reading before this one was taken during a test.
    void showReading(const ReceiveData& rd, bool testWasRunning, bool english);
    // Display rules that follow a setting's value, the program's changes too.
    void showTwoDigits(int value);
    void showSign(double value);

    // A new model with the headers in the language now in force, set on the
    // view. The rows of the replaced model move over with their items (texts,
    // alignment, stored ids); the replaced model is freed.
    QStandardItemModel* createModel();
    QStandardItemModel* resultModel() const { return model; }
    // The row of the test just finished, from what the page shows.
    void appendRow(const QByteArray& trace, std::optional<bool> settled = std::nullopt);
    void toggleTable();
    int selectedRowCount() const;
    void deleteSelectedRows();
    void clearRows();

    // The result table for its workbook: the texts and, for the values sheet,
    // each row's settled flag and (DC rows) the given judgements.
    reports::TextTable workbookTable(const analysis::Judgements& judgements = {}) const;
    reports::DataSection currentDataSection() const;
    QVector<reports::DataSection> recordSections() const;

signals:
    void dangerShown();
    void rowsCleared();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Field {
        const PageField* entry;  // its row of the field table
        QWidget* caption;
        QWidget* value;
        QComboBox* unitList;
        QComboBox* modeList;
    };

    void showField(const Field& field, const ReceiveData& rd, bool testWasRunning);
    void showDanger(bool isDanger, bool english);
    QStringList columnHeaders() const;
    QStringList rowTexts() const;
    static QString shownText(const Field& field);
    static QString remarkHeader();
    int remarkColumn() const;
    void queueMeasuredColumn();

    const PageTable& table;
    RowKeeping keeping;
    QWidget* pageWidget;
    QTextEdit* remark;
    QWidget* remarkGroup;
    QLabel* status;
    QStackedWidget* live;
    QLabel* dangerPicture;
    QTableView* view;
    QToolButton* tableButton;
    QVector<Field> fields;
    QStandardItemModel* model = nullptr;
    bool tableShown = true;
    bool measuredColumnQueued = false;
    const QObject* viewport = nullptr;  // the table's, compared only: it is resized while the table goes
    // The held resistance shows a measured value (not a placeholder or an
    // over-range text): only such a value is held while a test is over range.
    bool resistanceShowsReading = false;
};
