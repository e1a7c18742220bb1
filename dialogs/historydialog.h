#pragma once
// The earlier sessions of the result tables: when each began, which table it
// belongs to, the object it was measured on and how many rows it holds, listed
// for every object or for one. The operator loads one back into its table or
// writes it to a workbook straight away.

#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QString>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTreeWidget;

struct HistoryEntry {
    qint64 id = 0;
    QDateTime started;
    QString table;  // the table's name, in the interface language
    int rowCount = 0;
    qint64 objectId = 0;  // 0: measured on no named object
    QString object;       // how the object is named in lists
};

class HistoryDialog : public QDialog
{
    Q_OBJECT

public:
    explicit HistoryDialog(QWidget* parent = nullptr);
    void setEntries(const QList<HistoryEntry>& entries);

signals:
    void loadSessionSignal(qint64 id);
    void exportSessionSignal(qint64 id);

private:
    qint64 chosenId() const;
    void updateButtons();
    void fillObjectFilter(const QList<HistoryEntry>& entries);
    void showChosenObject();

    QLabel* emptyNote = nullptr;
    QWidget* filterBar = nullptr;
    QComboBox* objectFilter = nullptr;
    QTreeWidget* sessions = nullptr;
    QPushButton* loadButton = nullptr;
    QPushButton* exportButton = nullptr;
    QDialogButtonBox* buttons = nullptr;
};
