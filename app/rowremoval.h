#pragma once
// Delete and Clear of a result table, each after the operator's yes: the
// question names how many rows go and, for Clear, that they stay in the
// history. The window holds one (a child named "rowRemoval"); tests give it
// answers of their own, so that no modal box opens.

#include <QObject>
#include <QString>

#include <functional>

class ResultPage;
class QWidget;

class RowRemoval : public QObject
{
    Q_OBJECT

public:
    // The operator's answer to a question: true for yes.
    using Answer = std::function<bool(const QString& question)>;

    explicit RowRemoval(QWidget* window);
    void setAnswer(Answer answer);

    void deleteSelectedRows(ResultPage& page);
    void clearRows(ResultPage& page);

signals:
    void statusMessage(const QString& message);

private:
    Answer answer_;
};
