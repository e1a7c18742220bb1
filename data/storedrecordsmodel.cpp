#include "data/storedrecordsmodel.h"

#include <QCoreApplication>

#include <algorithm>
#include <iterator>

namespace {

struct StoredColumn {
    const char* header;
    QString ReceiveData::*text;
    QString ReceiveData::*unit;
};

const StoredColumn kStoredColumns[] = {
    {QT_TRANSLATE_NOOP("MainWindow", "序号"), &ReceiveData::recordNo, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "测试时间"), &ReceiveData::testTime, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "试品编号"), &ReceiveData::conductorNo, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "测试电流"), &ReceiveData::testedCurrent, &ReceiveData::testedCurrentUnit},
    {QT_TRANSLATE_NOOP("MainWindow", "测试电阻"), &ReceiveData::testedResistance, &ReceiveData::testedResistanceUnit},
    {QT_TRANSLATE_NOOP("MainWindow", "导体长度"), &ReceiveData::conductorLength, &ReceiveData::conductorLengthUnit},
    {QT_TRANSLATE_NOOP("MainWindow", "样品编号"), &ReceiveData::sampleNo, nullptr},
    // the parser has appended the cross-section's unit
    {QT_TRANSLATE_NOOP("MainWindow", "1米导线标称截面积"), &ReceiveData::wireSquare, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "1米标准值"), &ReceiveData::standardValue, &ReceiveData::standardUnit},
    {QT_TRANSLATE_NOOP("MainWindow", "试品材质"), &ReceiveData::conductorMaterial, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "试品温度"), &ReceiveData::conductorTemp, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "折算温度"), &ReceiveData::convertedTemp, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "分接"), &ReceiveData::tapping, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "相别"), &ReceiveData::phaseType, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "绕组"), &ReceiveData::winding, nullptr},
    {QT_TRANSLATE_NOOP("MainWindow", "折算电阻"), &ReceiveData::convertedResistance,
     &ReceiveData::convertedResistanceUnit},
};

constexpr int kColumnCount = int(std::size(kStoredColumns));
constexpr int kBlockSize = 64 * 1024;
// Never part of UTF-8, so it can stand between the texts of a row.
constexpr char kTextSeparator = char(0xff);

// The texts in UTF-8, each but the last followed by the separator; a row
// without any text packs to nothing.
QByteArray packRow(const QStringList& texts)
{
    if (std::all_of(texts.begin(), texts.end(), [](const QString& text) { return text.isEmpty(); }))
        return QByteArray();
    QByteArray packed;
    for (int column = 0; column < kColumnCount; ++column) {
        if (column > 0)
            packed += kTextSeparator;
        packed += texts.value(column).toUtf8();
    }
    return packed;
}

QString unpackedText(const QByteArray& packed, int column)
{
    int start = 0;
    for (int c = 0; c < column; ++c) {
        const int separator = packed.indexOf(kTextSeparator, start);
        if (separator < 0)
            return QString();
        start = separator + 1;
    }
    const int end = packed.indexOf(kTextSeparator, start);
    return QString::fromUtf8(packed.constData() + start, (end < 0 ? packed.size() : end) - start);
}

}  // namespace

QStringList StoredRecordsModel::recordTexts(const ReceiveData& rd)
{
    QStringList texts;
    for (const StoredColumn& column : kStoredColumns)
        texts << (column.unit ? rd.*column.text + rd.*column.unit : rd.*column.text);
    return texts;
}

StoredRecordsModel::StoredRecordsModel(QObject* parent) : QAbstractTableModel(parent)
{
    retranslate();
}

QStringList StoredRecordsModel::columnHeaders()
{
    QStringList texts;
    for (const StoredColumn& column : kStoredColumns)
        texts << QCoreApplication::translate("MainWindow", column.header);
    return texts;
}

void StoredRecordsModel::retranslate()
{
    headers = columnHeaders();
    emit headerDataChanged(Qt::Horizontal, 0, kColumnCount - 1);
}

void StoredRecordsModel::clear()
{
    if (rows.isEmpty())
        return;
    beginRemoveRows(QModelIndex(), 0, rows.size() - 1);
    rows.clear();
    rows.squeeze();
    blocks.clear();
    endRemoveRows();
}

void StoredRecordsModel::setRowCount(int count)
{
    count = std::max(count, 0);
    if (count > rows.size()) {
        beginInsertRows(QModelIndex(), rows.size(), count - 1);
        rows.resize(count);
        endInsertRows();
    } else if (count < rows.size()) {
        beginRemoveRows(QModelIndex(), count, rows.size() - 1);
        rows.resize(count);
        endRemoveRows();
    }
}

void StoredRecordsModel::setRecords(const QVector<std::pair<int, QStringList>>& records)
{
    int first = rows.size();
    int last = -1;
    for (const auto& [row, texts] : records) {
        if (row < 0 || row >= rows.size())
            continue;
        rows[row] = storedRow(texts, rows[row].keptId);
        first = std::min(first, row);
        last = std::max(last, row);
    }
    if (last >= 0)
        emit dataChanged(index(first, 0), index(last, kColumnCount - 1));
}

void StoredRecordsModel::appendRow(const QStringList& texts, qint64 keptId)
{
    beginInsertRows(QModelIndex(), rows.size(), rows.size());
    rows.append(storedRow(texts, keptId));
    endInsertRows();
}

StoredRecordsModel::Row StoredRecordsModel::storedRow(const QStringList& texts, qint64 keptId)
{
    const QByteArray packed = packRow(texts);
    if (packed.isEmpty())
        return Row{0, 0, 0, keptId};
    if (blocks.empty() || blocks.back().size() + packed.size() > blocks.back().capacity()) {
        blocks.emplace_back();
        blocks.back().reserve(std::max(kBlockSize, packed.size()));
    }
    QByteArray& block = blocks.back();
    const Row row{int(blocks.size()) - 1, block.size(), packed.size(), keptId};
    block += packed;  // within the block's capacity: the block stays where it is
    return row;
}

QByteArray StoredRecordsModel::packedTexts(const std::vector<QByteArray>& blocks, const Row& row)
{
    if (row.size == 0)
        return QByteArray();
    return QByteArray::fromRawData(blocks[std::size_t(row.block)].constData() + row.offset, row.size);
}

StoredRecordsModel::Snapshot StoredRecordsModel::snapshot() const
{
    Snapshot taken;
    taken.rows = rows;
    taken.blocks = blocks;
    return taken;
}

QString StoredRecordsModel::Snapshot::cell(int row, int column) const
{
    return unpackedText(packedTexts(blocks, rows[row]), column);
}

QList<int> StoredRecordsModel::emptyRows() const
{
    QList<int> empty;
    for (int row = 0; row < rows.size(); ++row)
        if (rows[row].size == 0)
            empty << row;
    return empty;
}

int StoredRecordsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows.size();
}

int StoredRecordsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant StoredRecordsModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return QVariant();
    const Row& row = rows[index.row()];
    switch (role) {
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    case KeptIdRole:
        return index.column() == 0 && row.keptId > 0 ? QVariant(row.keptId) : QVariant();
    case Qt::DisplayRole:
    case Qt::EditRole: {
        const QString text = unpackedText(packedTexts(blocks, row), index.column());
        return text.isEmpty() ? QVariant() : QVariant(text);
    }
    default:
        return QVariant();
    }
}

QVariant StoredRecordsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < headers.size())
        return headers.at(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags StoredRecordsModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
}
