#pragma once
// What a status message of the link or the answer decoder asks of the window.
// Sent as the int of their stateProcessing(QString, int) signals.

namespace linkstatus {

enum Code : int {
    Information = 0,       // plain information: only shown
    ReadingFailed = 1,     // a real-time reading failed or was invalid
    StoredDataFailed = 2,  // stored data could not be read, or the keys could not be locked
    RequestRefused = 3,    // a request was refused: reading resumes
    LinkFailed = 4,        // the link failed or is not open
    RecordFailed = 5,      // a stored record could not be read
};

}  // namespace linkstatus
