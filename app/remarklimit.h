#pragma once
// The counter of a remark box: how many characters it may still take, at
// the right of the title line of the box's frame (the page's layout stays as
// it is). The box keeps at most kMaxRemarkCharacters (the remark goes into
// every result row and report page); text beyond them, pasted or typed, is
// cut from what came in last, and the counter says how much was dropped.

#include <QLabel>

class QTextEdit;

class RemarkLimit : public QLabel
{
    Q_OBJECT

public:
    static constexpr int kMaxRemarkCharacters = 1000;

    // The box's parent is its frame.
    explicit RemarkLimit(QTextEdit* box);

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void keepWithinLimit();
    void showCharactersLeft();
    void showText(const QString& text);
    void placeAtTitleRight();

    QTextEdit* const box;
};
