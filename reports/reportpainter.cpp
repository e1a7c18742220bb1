#include "reports/reportpainter.h"
#include "reports/pdftextlayer.h"

#include "reports/exportpaths.h"

#include <QLoggingCategory>
#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace reports {

namespace {

Q_LOGGING_CATEGORY(reportLog, "tester.reports")

// The described family first; where it is missing, one family that draws
// Chinese, Latin and the unit signs alike and has a real Light weight, so that
// digits do not fall back to a thin Latin face beside regular Chinese.
const char* const kFontFamilies[] = {"Microsoft Yahei", "Noto Sans CJK SC"};
constexpr int kTopY = 10;
constexpr int kHeadingHeight = 100;
constexpr int kHeaderRightShift = 120;  // the header's right column sits this far right of 4 and 5 ninths
constexpr int kUserRuleGap = 100;       // the user rule ends this far before the middle
constexpr int kRemarkRightGap = 30;     // remark lines stay this far inside the right edge
constexpr int kLabelGap = 25;           // dots at least between a label's colon and its value
constexpr int kFooterHeight = 100;      // the page number's band at the foot of a page
constexpr int kTablePitch = 62;         // dots from one line of a summary table to the next
constexpr int kCellPadding = 24;        // dots on either side of a summary cell's text
constexpr int kSignatureRoom = 160;     // dots left above the lines to sign

enum class Style { Title, RecordTitle, Heading, Label, Value, TableHeader, TableCell };

// Where the labels and values of a field block start, in dots.
struct Places {
    int leftLabel;
    int rightLabel;
    int leftValue;
    int rightValue;
};

// The first of the families that is installed; the described one (and the
// substitutes the program gives it) when none is.
QString reportFamily()
{
    static const QString family = [] {
        const QFontDatabase database;
        for (const char* family : kFontFamilies) {
            if (database.hasFamily(QLatin1String(family)))
                return QString::fromLatin1(family);
        }
        return QString::fromLatin1(kFontFamilies[0]);
    }();
    return family;
}

QFont fontFor(Style style)
{
    struct Size {
        int points;
        int weight;
    };
    static const Size sizes[] = {
        {14, QFont::Bold}, {14, QFont::Medium}, {12, QFont::Medium}, {11, QFont::Normal}, {11, QFont::Light},
        {9, QFont::Medium}, {9, QFont::Normal},
    };
    const Size& size = sizes[int(style)];
    QFont font{reportFamily()};
    font.setPointSize(size.points);
    font.setWeight(size.weight);
    font.setItalic(false);
    font.setStyleStrategy(QFont::PreferNoShaping);
    return font;
}

// The remark's first line that fits into width: the longest prefix no wider,
// grown one character at a time (a surrogate pair counts as one), at least one.
int fittingLength(const QString& text, const QFontMetricsF& metrics, qreal width)
{
    int length = 0;
    while (length < text.size()) {
        int next = length + 1;
        if (next < text.size() && text[length].isHighSurrogate() && text[next].isLowSurrogate())
            ++next;
        if (length > 0 && metrics.boundingRect(text.left(next)).width() > width)
            break;
        length = next;
    }
    return length;
}

// Draws the report, or only counts its pages: a counting pass goes through the
// same layout without painting, so that every page can name the page count.
class ReportPainter {
public:
    // pageCount: the pages of the report as counted before; 0 counts them.
    ReportPainter(QPagedPaintDevice* device, QPainter& painter, const QString& footer, int pageCount)
        : device_(device),
          painter_(painter),
          footer_(footer),
          pageCount_(pageCount),
          width_(painter.viewport().width()),
          bottom_(device->height() - (footer.isEmpty() ? 0 : kFooterHeight)),
          column_(width_ / 10),
          ninth_(width_ / 9),
          middle_(width_ / 2)
    {
        painter_.setPen(QPen(Qt::black, 4.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    }

    int page() const { return page_; }

    // False when progress stopped it.
    bool drawReport(const ReportContent& content, const WriteProgress& progress)
    {
        y_ = kTopY;
        painter_.setFont(fontFor(Style::Title));
        text(QRect(0, y_, width_, kLinePitch), Qt::AlignCenter, content.title);
        drawHeader(content.header);
        if (content.hasCurrentData)
            drawCurrentData(content.currentData, content.columns);
        if (content.summary)
            drawSummary(*content.summary);
        const bool drawn = drawRecords(content.records, content.columns, progress);
        drawFooter();
        return drawn;
    }

private:
    bool painting() const { return pageCount_ > 0; }

    void newPage()
    {
        drawFooter();
        if (painting())
            device_->newPage();
        ++page_;
    }

    void drawFooter()
    {
        if (!painting() || footer_.isEmpty())
            return;
        painter_.setFont(fontFor(Style::Value));
        text(QRect(0, bottom_, width_, kFooterHeight), Qt::AlignHCenter | Qt::AlignBottom,
             footer_.arg(page_).arg(pageCount_));
    }

    void drawHeader(const ReportHeader& header)
    {
        y_ += 2 * kLinePitch;
        painter_.setFont(fontFor(Style::Heading));
        text(QRect(0, y_, middle_, kLinePitch), Qt::AlignLeft, header.userHeading);
        text(QRect(middle_, y_, middle_, kLinePitch), Qt::AlignLeft, header.testerHeading);
        y_ += kLinePitch;
        rule(0, middle_ - kUserRuleGap);
        rule(middle_, width_);
        drawFieldBlock(header.userAndTester, {0, 4 * ninth_ + kHeaderRightShift, ninth_, 5 * ninth_ + kHeaderRightShift});
        y_ += kLinePitch;
        heading(header.objectHeading);
        y_ += kLinePitch;
        rule(0, width_);
        drawFieldBlock({header.object, {}}, {0, 0, ninth_, 0});
    }

    void drawCurrentData(const DataSection& section, const FieldColumns& columns)
    {
        y_ += kLinePitch;
        heading(section.title);
        drawSectionBody(section, columns);
    }

    bool drawRecords(const QVector<DataSection>& records, const FieldColumns& columns, const WriteProgress& progress)
    {
        for (int i = 0; i < records.size(); ++i) {
            if (painting() && !keepWriting(progress, i, records.size()))
                return false;
            const DataSection& record = records[i];
            newPage();
            y_ = kTopY;
            painter_.setFont(fontFor(Style::RecordTitle));
            text(QRect(0, y_, width_, kHeadingHeight), Qt::AlignLeft, record.title);
            drawSectionBody(record, columns);
        }
        return true;
    }

    // --- summary -------------------------------------------------------------

    // The results, the legend, the balance and the lines to sign; each page it
    // takes begins with its heading, and a table that goes on repeats its headers.
    void drawSummary(const ReportSummary& summary)
    {
        summaryPage(summary.heading);
        drawTable(summary.results, summary.heading);
        if (!summary.legend.isEmpty()) {
            makeRoom(kTablePitch, summary.heading);
            painter_.setFont(fontFor(Style::TableCell));
            text(QRect(0, y_, width_, kTablePitch), Qt::AlignLeft | Qt::AlignVCenter, summary.legend);
            y_ += kTablePitch;
        }
        if (!summary.balance.rows.isEmpty()) {
            y_ += kTablePitch;
            makeRoom(kHeadingHeight + 3 * kTablePitch, summary.heading);
            heading(summary.balanceHeading);
            y_ += kHeadingHeight;
            drawTable(summary.balance, summary.heading);
        }
        drawSignatures(summary.signatures, summary.heading);
    }

    void summaryPage(const QString& title)
    {
        newPage();
        y_ = kTopY;
        painter_.setFont(fontFor(Style::RecordTitle));
        text(QRect(0, y_, width_, kHeadingHeight), Qt::AlignLeft, title);
        y_ += kHeadingHeight + kTablePitch / 2;
    }

    // A new page of the summary when height does not fit on this one.
    bool makeRoom(int height, const QString& title)
    {
        if (y_ + height <= bottom_)
            return false;
        summaryPage(title);
        return true;
    }

    void drawTable(const SummaryTable& table, const QString& title)
    {
        const QVector<int> widths = columnWidths(table);
        const int headerHeight = headerLines(table.headers, widths) * kTablePitch;
        makeRoom(headerHeight + kTablePitch, title);
        drawTableHeader(table.headers, widths, headerHeight);
        for (const QStringList& cells : table.rows) {
            if (makeRoom(kTablePitch, title))
                drawTableHeader(table.headers, widths, headerHeight);
            drawTableRow(cells, widths);
        }
        rule(0, width_);
    }

    // Between two rules; a header too wide for its column takes a second line.
    void drawTableHeader(const QStringList& headers, const QVector<int>& widths, int height)
    {
        rule(0, width_);
        painter_.setFont(fontFor(Style::TableHeader));
        int x = 0;
        for (int c = 0; c < widths.size(); ++c) {
            text(QRect(x + kCellPadding, y_, widths[c] - 2 * kCellPadding, height), Qt::AlignCenter | Qt::TextWordWrap,
                 headers.value(c));
            x += widths[c];
        }
        y_ += height;
        rule(0, width_);
    }

    // A cell too wide for its column is elided.
    void drawTableRow(const QStringList& cells, const QVector<int>& widths)
    {
        painter_.setFont(fontFor(Style::TableCell));
        const QFontMetricsF metrics(painter_.font(), device_);
        int x = 0;
        for (int c = 0; c < widths.size(); ++c) {
            const int inner = widths[c] - 2 * kCellPadding;
            text(QRect(x + kCellPadding, y_, inner, kTablePitch), Qt::AlignCenter,
                 metrics.elidedText(cells.value(c), Qt::ElideRight, inner));
            x += widths[c];
        }
        y_ += kTablePitch;
    }

    // Each column as wide as its widest cell and its header, or where the
    // headers do not fit so, the longest word of its header; the width left
    // over is shared alike, a shortfall taken from each column in proportion.
    QVector<int> columnWidths(const SummaryTable& table) const
    {
        QVector<qreal> widest = neededWidths(table, true);
        if (std::accumulate(widest.cbegin(), widest.cend(), qreal(0)) > width_)
            widest = neededWidths(table, false);
        const qreal total = std::accumulate(widest.cbegin(), widest.cend(), qreal(0));
        QVector<int> widths;
        for (qreal w : widest)
            widths << int(total <= width_ ? w + (width_ - total) / widest.size() : w * width_ / total);
        return widths;
    }

    QVector<qreal> neededWidths(const SummaryTable& table, bool wholeHeaders) const
    {
        const QFontMetricsF headerMetrics(fontFor(Style::TableHeader), device_);
        const QFontMetricsF cellMetrics(fontFor(Style::TableCell), device_);
        QVector<qreal> widest;
        for (const QString& header : table.headers) {
            const QStringList words = wholeHeaders ? QStringList{header} : header.split(QLatin1Char(' '));
            qreal longest = 0;
            for (const QString& word : words)
                longest = std::max(longest, headerMetrics.horizontalAdvance(word));
            widest << longest + 2 * kCellPadding;
        }
        for (const QStringList& cells : table.rows) {
            for (int c = 0; c < widest.size(); ++c)
                widest[c] = std::max(widest[c], cellMetrics.horizontalAdvance(cells.value(c)) + 2 * kCellPadding);
        }
        return widest;
    }

    int headerLines(const QStringList& headers, const QVector<int>& widths) const
    {
        const QFontMetricsF metrics(fontFor(Style::TableHeader), device_);
        for (int c = 0; c < widths.size(); ++c) {
            if (metrics.horizontalAdvance(headers.value(c)) > widths[c] - 2 * kCellPadding)
                return 2;
        }
        return 1;
    }

    // The labels side by side, each followed by a rule to write on.
    void drawSignatures(const QStringList& labels, const QString& title)
    {
        if (labels.isEmpty())
            return;
        y_ += kSignatureRoom;
        makeRoom(kLinePitch, title);
        const int share = width_ / int(labels.size());
        const QFontMetricsF metrics(fontFor(Style::Label), device_);
        for (int i = 0; i < labels.size(); ++i) {
            const int x = i * share;
            painter_.setFont(fontFor(Style::Label));
            text(QPoint(x, y_), labels[i]);
            rule(x + int(std::ceil(metrics.horizontalAdvance(labels[i]))) + kLabelGap, x + share - kUserRuleGap);
        }
        y_ += kLinePitch;
    }

    // --- records -------------------------------------------------------------

    // From the rule below the section's title to its remark.
    void drawSectionBody(const DataSection& section, const FieldColumns& columns)
    {
        y_ += kLinePitch;
        rule(0, width_);
        y_ += kLinePitch;
        drawField(section.time, 0, valueStart({section.time}, 0, 2 * column_));
        y_ += kLinePitch;
        heading(section.dataHeading);
        y_ += kLinePitch;
        drawFieldBlock(section.fields, {columns.leftLabel * column_, columns.rightLabel * column_,
                                        columns.leftValue * column_, columns.rightValue * column_});
        drawRemark(section.remarkHeading, section.remark);
    }

    // A line each: the left field, then the right one.
    void drawFieldBlock(const FieldBlock& block, const Places& at)
    {
        const int leftValue = valueStart(block.left, at.leftLabel, at.leftValue);
        const int rightValue = valueStart(block.right, at.rightLabel, at.rightValue);
        for (int i = 0; i < std::max(block.left.size(), block.right.size()); ++i) {
            y_ += kLinePitch;
            if (i < block.left.size())
                drawField(block.left[i], at.leftLabel, leftValue);
            if (i < block.right.size())
                drawField(block.right[i], at.rightLabel, rightValue);
        }
    }

    // Where the values of a column of fields start: at valueX, or further right
    // when a label would reach it, so that every value keeps a gap after its label.
    int valueStart(const QVector<Field>& fields, int labelX, int valueX) const
    {
        const QFontMetricsF metrics(fontFor(Style::Label), device_);
        qreal widest = 0.0;
        for (const Field& field : fields)
            widest = std::max(widest, metrics.horizontalAdvance(field.label));
        return std::max(valueX, labelX + int(std::ceil(widest)) + kLabelGap);
    }

    // Lines are broken by measured width; an empty line of the text takes no
    // line on the page. Only the heading's two advances move y.
    void drawRemark(const QString& remarkHeading, const QString& remark)
    {
        y_ += kLinePitch;
        heading(remarkHeading);
        painter_.setFont(fontFor(Style::Value));
        y_ += kLinePitch;

        const QFontMetricsF metrics(painter_.font(), device_);
        const qreal lineWidth = width_ - kRemarkRightGap;
        int cursor = y_;
        for (QString part : remark.split(QLatin1Char('\n'))) {
            while (!part.isEmpty()) {
                const int length = fittingLength(part, metrics, lineWidth);
                if (cursor + kLinePitch > bottom_) {
                    newPage();
                    painter_.setFont(fontFor(Style::Value));
                    cursor = 0;
                }
                text(QRect(0, cursor, width_, kLinePitch), Qt::AlignLeft | Qt::TextWordWrap, part.left(length));
                part.remove(0, length);
                cursor += kLinePitch;
            }
        }
    }

    void drawField(const Field& field, int labelX, int valueX)
    {
        painter_.setFont(fontFor(Style::Label));
        text(QPoint(labelX, y_), field.label);
        painter_.setFont(fontFor(Style::Value));
        text(QPoint(valueX, y_), field.value);
    }

    void heading(const QString& title)
    {
        painter_.setFont(fontFor(Style::Heading));
        text(QRect(0, y_, width_, kHeadingHeight), Qt::AlignLeft, title);
    }

    // --- what a counting pass leaves out --------------------------------------

    void text(const QRect& rect, int flags, const QString& shown)
    {
        if (painting())
            painter_.drawText(rect, flags, shown);
    }

    void text(const QPoint& baseline, const QString& shown)
    {
        if (painting())
            painter_.drawText(baseline, shown);
    }

    void rule(int fromX, int toX)
    {
        if (painting())
            painter_.drawLine(fromX, y_, toX, y_);
    }

    QPagedPaintDevice* device_;
    QPainter& painter_;
    const QString footer_;
    const int pageCount_;
    const int width_;   // W: the printable width
    const int bottom_;  // where the text of a page ends: the printable height less the footer
    const int column_;  // C = W / 10
    const int ninth_;   // N = W / 9
    const int middle_;  // M = W / 2
    int y_ = kTopY;
    int page_ = 1;
};

bool fail(QString* error, const QString& reason)
{
    if (error)
        *error = reason;
    return false;
}

}  // namespace

bool drawReport(QPagedPaintDevice* device, const ReportContent& content, const WriteProgress& progress)
{
    QPainter painter;
    if (!painter.begin(device))
        return false;
    qCDebug(reportLog) << "report viewport" << painter.viewport();
    ReportPainter counting(device, painter, content.pageFooter, 0);
    counting.drawReport(content, progress);
    const bool drawn = ReportPainter(device, painter, content.pageFooter, counting.page()).drawReport(content, progress);
    return painter.end() && drawn;
}

bool writePdfReport(const QString& path, const ReportContent& content, QString* error, const WriteProgress& progress)
{
    if (!mayReplace(path, error))
        return false;
    // Drawn into memory first: the text layer is mended before the file is written.
    QByteArray pdf;
    QBuffer drawn(&pdf);
    drawn.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&drawn);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(kPdfResolution);
        writer.setPageMargins(QMarginsF(kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints),
                              QPageLayout::Point);
        writer.setTitle(content.title);
        qCDebug(reportLog) << "report page" << writer.width() << "x" << writer.height() << "dots";
        if (!drawReport(&writer, content, progress))
            return fail(error, QStringLiteral("the report could not be drawn"));
    }
    drawn.close();
    static const QHash<char16_t, char16_t> ideographs = ideographsOfRadicals(reportFamily());
    nameIdeographs(pdf, ideographs);

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    if (file.write(pdf) != pdf.size()) {
        file.cancelWriting();
        return fail(error, file.errorString());
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

}  // namespace reports
