#pragma once
// The outbox of the local results store: every change the store keeps leaves
// an entry here in the same transaction, for the team pusher to send to the
// server. An entry names what it concerns by UUID (`subject`) and carries its
// own UUID, which becomes the key of the fact it adds on the server (a closed
// or reopened session, a set of reference values).

#include <QtGlobal>

// SQLite's expression of a new random UUID, as 32 hexadecimal digits (the
// server reads them as its uuid type).
#define STORE_NEW_UUID "lower(hex(randomblob(16)))"

namespace store {

enum class OutboxEntry {
    Object = 0,           // subject: an object
    Row = 1,              // subject: a row, with its session and object
    Session = 2,          // subject: a session with all its rows (an import made current)
    RowDeleted = 3,       // subject: a row
    SessionClosed = 4,    // subject: a session
    SessionReopened = 5,  // subject: a session
    Baseline = 6,         // subject: an object, whose reference values are sent as they are then
};

}  // namespace store
