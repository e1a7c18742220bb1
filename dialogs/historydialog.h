#pragma once
// The earlier sessions of the result tables: when each began, which table it
// belongs to and how many rows it holds. The operator loads one back into its
// table or writes it to a workbook straight away.

#include <QDateTime>
#include <QDialog>
#include <QList>
#include <QString>

class QDialogButtonBox;
class QLabel;
class QPushButton;
class QTreeWidget;

struct HistoryEntry {
    qint64 id = 0;
    QDateTime started;
    QString table;  // the table's name, in the interface language
    int rowCount = 0;
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

    QLabel* emptyNote = nullptr;
    QTreeWidget* sessions = nullptr;
    QPushButton* loadButton = nullptr;
    QPushButton* exportButton = nullptr;
    QDialogButtonBox* buttons = nullptr;
};
