#include "app/remarklimit.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTextEdit>

namespace {

constexpr int kRightMargin = 10;  // from the frame's right edge

QString translated(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

}  // namespace

RemarkLimit::RemarkLimit(QTextEdit* box)
    : QLabel(box->parentWidget()), box(box)
{
    setObjectName(box->objectName() + QStringLiteral("_limit"));
    setAutoFillBackground(true);  // the frame's line does not run through the text
    parentWidget()->installEventFilter(this);
    connect(box, &QTextEdit::textChanged, this, &RemarkLimit::keepWithinLimit);
    showCharactersLeft();
}

void RemarkLimit::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange)
        showCharactersLeft();
    QLabel::changeEvent(event);
}

bool RemarkLimit::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        placeAtTitleRight();
    return QLabel::eventFilter(watched, event);
}

// The excess is taken from just before the cursor, where a paste ends, so the
// text that was there before stays whole; failing that, from the end.
void RemarkLimit::keepWithinLimit()
{
    const QString text = box->toPlainText();
    const int excess = text.size() - kMaxRemarkCharacters;
    if (excess <= 0) {
        showCharactersLeft();
        return;
    }
    int end = box->textCursor().position();
    int start = end - excess;
    if (start < 0) {
        start = kMaxRemarkCharacters;
        end = text.size();
    }
    if (start > 0 && text.at(start - 1).isHighSurrogate())
        --start;  // never half a character
    QTextCursor cut(box->document());
    cut.setPosition(start);
    cut.setPosition(end, QTextCursor::KeepAnchor);
    cut.removeSelectedText();
    showText(translated("已删去多出的%1个字符").arg(end - start));
}

void RemarkLimit::showCharactersLeft()
{
    const int left = kMaxRemarkCharacters - box->toPlainText().size();
    showText(translated("还可输入%1个字符").arg(qMax(0, left)));
}

void RemarkLimit::showText(const QString& text)
{
    setText(text);
    setToolTip(translated("备注最多%1个字符").arg(kMaxRemarkCharacters));
    adjustSize();
    placeAtTitleRight();
}

void RemarkLimit::placeAtTitleRight()
{
    move(parentWidget()->width() - width() - kRightMargin, 0);
}
