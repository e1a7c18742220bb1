#pragma once
// The exit statuses of resistance-tester-cli; the usage error is sysexits.h's.

namespace cli {

enum ExitCode : int {
    Success = 0,
    Refused = 1,         // the instrument refused the request
    NoInstrument = 2,    // nothing found, or the chosen instrument could not be opened
    Interrupted = 3,     // stopped by SIGINT or SIGTERM, or a test that did not end in time
    InstrumentLost = 4,  // the instrument stopped answering
    Usage = 64,          // EX_USAGE: bad arguments
    DataError = 65,      // EX_DATAERR: no such kept session
    NoInput = 66,        // EX_NOINPUT: the results store cannot be read
    CannotWrite = 73,    // EX_CANTCREAT: the output file cannot be written
};

}  // namespace cli
