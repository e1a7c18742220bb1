#pragma once
// Lays a report out on pages: a fixed grid of text lines in device dots with
// a few horizontal rules. The first page carries the title, the header block
// and the current data; the summary follows on pages of its own; every record
// gets a page of its own; a long remark continues on the next page. Every
// page names its number and the page count at its foot.

#include "reports/reportcontent.h"
#include "reports/writeprogress.h"

#include <QString>

class QPagedPaintDevice;

namespace reports {

constexpr int kLinePitch = 100;  // dots from one line of text to the next
constexpr int kPdfResolution = 300;
constexpr double kPdfMarginPoints = 30.0;

// Draws every page of the report; false when the device cannot be painted on
// or progress (asked before each record page) stopped the drawing.
bool drawReport(QPagedPaintDevice* device, const ReportContent& content, const WriteProgress& progress = {});

// Writes the report as an A4 PDF at 300 dpi with 30 pt margins. The file at
// path is replaced only by a complete report, and only when it is a regular
// file or a link to one (see mayReplace); on failure it is left as it was
// and *error (when given) says why; so it is when progress stops the drawing.
bool writePdfReport(const QString& path, const ReportContent& content, QString* error = nullptr,
                    const WriteProgress& progress = {});

}  // namespace reports
