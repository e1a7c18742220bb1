#pragma once
// A session of the results store as the table its workbook is written from.

#include "reports/texttable.h"
#include "store/resultstore.h"

#include <QList>
#include <QStringList>

namespace reports {

ValueLayout valueLayout(store::TableKind kind);

// The rows' texts under the headers, with their settled flags for the values sheet.
TextTable sessionTable(const QStringList& headers, const QList<store::Row>& rows, store::TableKind kind);

}  // namespace reports
