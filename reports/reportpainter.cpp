#include "reports/reportpainter.h"

#include "reports/exportpaths.h"

#include <QLoggingCategory>
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

enum class Style { Title, RecordTitle, Heading, Label, Value };

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

class ReportPainter {
public:
    ReportPainter(QPagedPaintDevice* device, QPainter& painter)
        : device_(device),
          painter_(painter),
          width_(painter.viewport().width()),
          height_(device->height()),
          column_(width_ / 10),
          ninth_(width_ / 9),
          middle_(width_ / 2)
    {
        painter_.setPen(QPen(Qt::black, 4.0, Qt::SolidLine, Qt::SquareCap, Qt::BevelJoin));
    }

    // False when progress stopped it.
    bool drawReport(const ReportContent& content, const WriteProgress& progress)
    {
        y_ = kTopY;
        painter_.setFont(fontFor(Style::Title));
        painter_.drawText(QRect(0, y_, width_, kLinePitch), Qt::AlignCenter, content.title);
        drawHeader(content.header);
        if (content.hasCurrentData)
            drawCurrentData(content.currentData, content.columns);
        return drawRecords(content.records, content.columns, progress);
    }

private:
    void drawHeader(const ReportHeader& header)
    {
        y_ += 2 * kLinePitch;
        painter_.setFont(fontFor(Style::Heading));
        painter_.drawText(QRect(0, y_, middle_, kLinePitch), Qt::AlignLeft, header.userHeading);
        painter_.drawText(QRect(middle_, y_, middle_, kLinePitch), Qt::AlignLeft, header.testerHeading);
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
            if (!keepWriting(progress, i, records.size()))
                return false;
            const DataSection& record = records[i];
            device_->newPage();
            y_ = kTopY;
            painter_.setFont(fontFor(Style::RecordTitle));
            painter_.drawText(QRect(0, y_, width_, kHeadingHeight), Qt::AlignLeft, record.title);
            drawSectionBody(record, columns);
        }
        return true;
    }

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
    void drawRemark(const QString& remarkHeading, const QString& text)
    {
        y_ += kLinePitch;
        heading(remarkHeading);
        painter_.setFont(fontFor(Style::Value));
        y_ += kLinePitch;

        const QFontMetricsF metrics(painter_.font(), device_);
        const qreal lineWidth = width_ - kRemarkRightGap;
        int cursor = y_;
        for (QString part : text.split(QLatin1Char('\n'))) {
            while (!part.isEmpty()) {
                const int length = fittingLength(part, metrics, lineWidth);
                if (cursor + kLinePitch > height_) {
                    device_->newPage();
                    cursor = 0;
                }
                painter_.drawText(QRect(0, cursor, width_, kLinePitch), Qt::AlignLeft | Qt::TextWordWrap,
                                  part.left(length));
                part.remove(0, length);
                cursor += kLinePitch;
            }
        }
    }

    void drawField(const Field& field, int labelX, int valueX)
    {
        painter_.setFont(fontFor(Style::Label));
        painter_.drawText(QPoint(labelX, y_), field.label);
        painter_.setFont(fontFor(Style::Value));
        painter_.drawText(QPoint(valueX, y_), field.value);
    }

    void heading(const QString& text)
    {
        painter_.setFont(fontFor(Style::Heading));
        painter_.drawText(QRect(0, y_, width_, kHeadingHeight), Qt::AlignLeft, text);
    }

    void rule(int fromX, int toX) { painter_.drawLine(fromX, y_, toX, y_); }

    QPagedPaintDevice* device_;
    QPainter& painter_;
    const int width_;   // W: the printable width
    const int height_;  // H: the printable height
    const int column_;  // C = W / 10
    const int ninth_;   // N = W / 9
    const int middle_;  // M = W / 2
    int y_ = kTopY;
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
    const bool drawn = ReportPainter(device, painter).drawReport(content, progress);
    return painter.end() && drawn;
}

bool writePdfReport(const QString& path, const ReportContent& content, QString* error, const WriteProgress& progress)
{
    if (!mayReplace(path, error))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(kPdfResolution);
        writer.setPageMargins(QMarginsF(kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints, kPdfMarginPoints),
                              QPageLayout::Point);
        writer.setTitle(content.title);
        qCDebug(reportLog) << "report page" << writer.width() << "x" << writer.height() << "dots";
        if (!drawReport(&writer, content, progress)) {
            file.cancelWriting();
            return fail(error, QStringLiteral("the report could not be drawn"));
        }
    }
    if (!file.commit())
        return fail(error, file.errorString());
    return true;
}

}  // namespace reports
