#pragma once
// The earlier sessions of the result tables: when each began, which table it
// belongs to, the object it was measured on and how many rows it holds, and
// when a team server is set, the sessions the whole team pushed to it (who
// measured, with which instrument, on which object), listed for every object
// or for one. The operator loads one back into its table, writes it to a
// workbook straight away, or makes a DC session the reference values of its
// object.

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
    QString teamSession;  // the server's key of a team session; empty: a session of this computer
    QString operatorName;  // team sessions: who measured
    QString instrument;
    QString object;  // the object under test, as shown
    bool canBeBaseline = false;  // a DC session
};

class HistoryDialog : public QDialog
{
    Q_OBJECT

public:
    explicit HistoryDialog(QWidget* parent = nullptr);
    void setEntries(const QList<HistoryEntry>& entries);
    // The team's sessions, listed after this computer's; note says how the
    // server was read (empty: nothing to say).
    void setTeamEntries(const QList<HistoryEntry>& entries, const QString& note);

signals:
    void loadSessionSignal(qint64 id);
    void exportSessionSignal(qint64 id);
    void loadTeamSessionSignal(const QString& teamSession);
    void exportTeamSessionSignal(const QString& teamSession);
    // "设为基准": the chosen session's rows become its object's reference values.
    void baselineWanted(const HistoryEntry& entry);

private:
    const HistoryEntry* chosen() const;
    void showEntries();
    void updateButtons();
    void fillObjectFilter(const QList<HistoryEntry>& entries);
    void showChosenObject();

    QList<HistoryEntry> localEntries;
    QList<HistoryEntry> teamEntries;

    QLabel* emptyNote = nullptr;
    QWidget* filterBar = nullptr;
    QComboBox* objectFilter = nullptr;
    QLabel* teamNote = nullptr;
    QTreeWidget* sessions = nullptr;
    QPushButton* loadButton = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* baselineButton = nullptr;
    QDialogButtonBox* buttons = nullptr;
};
