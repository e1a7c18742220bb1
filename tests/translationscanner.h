#pragma once
// Finds the translatable texts of the program's sources and forms, the
// way the translation tools see them, so that a test can hold them
// against the catalogues.
//
// Context rule for C++ sources:
//  - QCoreApplication::translate("ctx", …) and QT_TRANSLATE_NOOP("ctx", …)
//    name their context;
//  - X::tr(…) is in context X;
//  - tr(…) and QT_TR_NOOP(…) are in the context of the class whose member
//    function (out-of-class `X::f(…) {` or inline in `class X {`) encloses
//    them, or of the class body itself;
//  - outside any class (file-level tables) the file's class is used: the
//    class whose lower-case name equals the file's base name up to the
//    first '_' or '.', as in mainwindow_pdf.cpp → MainWindow, when the
//    file declares it; otherwise the last class seen in the file.
// Adjacent string literals are joined; escapes are decoded; the literal
// bytes are read as UTF-8, as tr() does.

#include <QByteArray>
#include <QString>
#include <QVector>

struct SourceText {
    QString context;
    QString source;
    QString comment;  // disambiguation, empty when none
    QString origin;   // "file:line"
};

// Texts of one C++ file. fileName only names the origin and gives the
// fallback context.
QVector<SourceText> scanCppSource(const QByteArray& code, const QString& fileName);

// Texts of one designer form: every non-blank <string> that is not
// marked notr="true", in the context named by the form's <class>.
// Returns false with *error set when the XML cannot be read.
bool scanUiForm(const QByteArray& xml, const QString& fileName, QVector<SourceText>* texts,
                QString* error);
