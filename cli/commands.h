#pragma once
// The subcommands of resistance-tester-cli. run() takes the program's
// arguments and returns its exit status (cli::ExitCode); errors go to stderr
// as one line each.

#include <QStringList>

namespace cli {

int run(const QStringList& arguments);

}  // namespace cli
