#pragma once
// The team's server: the service name it is reached by (kept in
// settingsServer.ini; empty: results stay on this computer) and a test of the
// connection, run off the window's thread, that says what failed.

#include "store/teamconnection.h"

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TeamServerDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TeamServerDialog(QWidget* parent = nullptr);

    QString service() const;
    // What a test found, in the language in force.
    static QString describe(const store::TeamReach& reach, const QString& service);

signals:
    // The service kept when the operator confirmed; empty: no server.
    void serviceChosen(const QString& service);
    // A connection test ended; its outcome is shown in label_result.
    void connectionTested(const store::TeamReach& reach);

private:
    void testConnection();
    void showReach(const store::TeamReach& reach, const QString& service);
    void keepService();
    void updateButtons();

    QLineEdit* serviceEdit = nullptr;
    QPushButton* testButton = nullptr;
    QLabel* result = nullptr;
    QDialogButtonBox* buttons = nullptr;
    bool testing = false;
};
