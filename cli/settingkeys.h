#pragma once
// The measurement settings by name, as the command line reads and writes
// them: one ASCII key per setting of the two test pages, named after the
// window's labels, and the values each accepts. The instrument's own texts
// (currents, phases) come from the decoder's lists; the translated entries of
// the window's lists have ASCII names here.

#include "data/receivedata.h"
#include "link/protocol.h"
#include "link/settingsframes.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <utility>

namespace cli {

enum class Page { Dc, Length };

struct PageSettings {
    protocol::DcSettings dc;
    protocol::LengthSettings length;
};

// The settings a reading shows, of the page it comes from.
PageSettings settingsOf(const ReceiveData& rd);

// The keys of a page, in the order they are printed.
QStringList keysOf(Page page);
// The page of a key; false when there is no such key.
bool pageOfKey(const QString& key, Page* page);
// What a key accepts, for the error message: "0..9999", "copper, aluminium", …
QString allowedValues(const QString& key);

// Sets key to text; false (nothing changed) when the text is not allowed.
bool setValue(PageSettings* settings, const QString& key, const QString& text);
QString valueText(const PageSettings& settings, const QString& key);

// The settings frame of a page.
protocol::Bytes settingsFrame(const PageSettings& settings, Page page);

}  // namespace cli
