#pragma once
// The tool's own texts: Chinese in the sources, English from the catalogue,
// in the context CommandLine (CommandLine::tr).

#include <QCoreApplication>

class CommandLine {
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};
