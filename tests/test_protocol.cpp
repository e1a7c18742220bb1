// Request bytes, answer recognition and the settings frames, byte for byte.
#include <QtTest>

#include "link/protocol.h"
#include "link/settingsframes.h"

using protocol::Bytes;

Q_DECLARE_METATYPE(Bytes)

namespace {

Bytes hex(const char* text)
{
    const QByteArray raw = QByteArray::fromHex(QByteArray(text).replace(' ', ""));
    return Bytes(raw.begin(), raw.end());
}

Bytes answer(std::size_t size, std::uint8_t first, std::uint8_t type, std::uint8_t byte5 = 0)
{
    Bytes a(size, 0);
    if (size > 0) a[0] = first;
    if (size > 4) a[4] = type;
    if (size > 5) a[5] = byte5;
    return a;
}

// A 63-byte record whose checksum bytes are right for its payload.
Bytes record(std::uint8_t type)
{
    Bytes r(63, 0);
    r[0] = 0xAB; r[1] = 0xCD; r[3] = 0x3B; r[4] = type;
    r[20] = 0x77; r[59] = 0x10;
    const auto sum = protocol::checksum(r.data(), 4, 60);
    r[61] = sum >> 8; r[62] = sum & 0xFF;
    return r;
}

}  // namespace

class ProtocolTest : public QObject {
    Q_OBJECT

private slots:
    void requests_data()
    {
        QTest::addColumn<Bytes>("built");
        QTest::addColumn<Bytes>("expected");
        using namespace protocol;
        QTest::newRow("start DC") << buildStartTestRequest(false) << hex("AB CD 00 05 01 03 00 00 04");
        QTest::newRow("start length") << buildStartTestRequest(true) << hex("AB CD 00 05 01 03 01 00 05");
        QTest::newRow("stop DC") << buildStopTestRequest(false) << hex("AB CD 00 05 01 04 00 00 05");
        QTest::newRow("stop length") << buildStopTestRequest(true) << hex("AB CD 00 05 01 04 01 00 06");
        QTest::newRow("real-time DC") << buildRealTimeRequest(0x00) << hex("AB CD 00 04 05 00 00 05");
        QTest::newRow("real-time length") << buildRealTimeRequest(0x01) << hex("AB CD 00 04 05 01 00 06");
        QTest::newRow("real-time any screen") << buildRealTimeRequest(0xFF) << hex("AB CD 00 04 05 FF 01 04");
        QTest::newRow("stored count") << buildStoredCountRequest() << hex("AB CD 00 03 08 00 08");
        QTest::newRow("records 1-30") << buildReadBackRequest(1, 30) << hex("AB CD 00 07 07 00 01 00 1E 00 26");
        QTest::newRow("records 31-42") << buildReadBackRequest(31, 12) << hex("AB CD 00 07 07 00 1F 00 0C 00 32");
        QTest::newRow("records 9991-9999") << buildReadBackRequest(9991, 9)
                                           << hex("AB CD 00 07 07 27 07 00 09 00 3E");
        QTest::newRow("record number modulo 65536") << buildReadBackRequest(65536 + 2, 1)
                                                    << hex("AB CD 00 07 07 00 02 00 01 00 0A");
        QTest::newRow("key lock") << buildKeyLockRequest() << hex("AB CD 00 04 19 5A 00 73");
        QTest::newRow("key unlock") << buildKeyUnlockRequest() << hex("AB CD 00 04 19 A5 00 BE");
        QTest::newRow("upper open") << buildUpperOpenRequest() << hex("AB CD 00 04 20 5A 00 7A");
        QTest::newRow("upper close") << buildUpperCloseRequest() << hex("AB CD 00 04 20 A5 00 C5");
        QTest::newRow("wake-up is not framed") << wakeUpBytes() << hex("AB 00 00 00 00");
    }

    void requests()
    {
        QFETCH(Bytes, built);
        QTEST(built, "expected");
    }

    void readTypeMapping()
    {
        std::uint8_t byte = 0x42;
        QVERIFY(!protocol::readTypeByte(3, &byte) && !protocol::readTypeByte(-1, &byte));
        QCOMPARE(byte, std::uint8_t(0x42));  // left alone
        for (const auto& [index, expected] : {std::pair<int, int>{0, 0x00}, {1, 0x01}, {2, 0xFF}})
            QVERIFY(protocol::readTypeByte(index, &byte) && byte == expected);
    }

    // What the recognisers say: k acknowledge, A accepting it, r real-time
    // record, s stored record, c count answer, v a valid count answer.
    void recognisers_data()
    {
        QTest::addColumn<Bytes>("data");
        QTest::addColumn<QString>("is");
        QTest::newRow("accepting acknowledge") << answer(8, 0xAB, 0x01, 0x4F) << "kA";
        QTest::newRow("refusing acknowledge 0x00") << answer(8, 0xAB, 0x01, 0x00) << "k";
        QTest::newRow("refusing acknowledge 'o'") << answer(8, 0xAB, 0x01, 0x6F) << "k";
        QTest::newRow("acknowledge of any size") << answer(63, 0xAB, 0x01, 0x4F) << "kA";
        QTest::newRow("acknowledge without byte 5") << answer(5, 0xAB, 0x01) << "k";
        QTest::newRow("acknowledge with wrong start") << answer(8, 0xAC, 0x01, 0x4F) << "";
        QTest::newRow("real-time 63") << answer(63, 0xAB, 0x02) << "r";
        QTest::newRow("real-time 62") << answer(62, 0xAB, 0x02) << "";
        QTest::newRow("real-time 64") << answer(64, 0xAB, 0x02) << "";
        QTest::newRow("real-time wrong start") << answer(63, 0x00, 0x02) << "";
        QTest::newRow("stored 63") << answer(63, 0xAB, 0x03) << "s";
        QTest::newRow("stored 62") << answer(62, 0xAB, 0x03) << "";
        QTest::newRow("count 10") << answer(10, 0xAB, 0x72) << "cv";
        QTest::newRow("count 10, bad start") << answer(10, 0x00, 0x72) << "c";
        QTest::newRow("count 11") << answer(11, 0xAB, 0x72) << "";
        QTest::newRow("count 9") << answer(9, 0xAB, 0x72) << "";
        QTest::newRow("empty") << Bytes{} << "";
        QTest::newRow("four bytes") << hex("AB CD 00 01") << "";
    }

    void recognisers()
    {
        QFETCH(Bytes, data);
        const auto* d = data.data();
        const auto n = data.size();
        const bool says[] = {protocol::isAcknowledge(d, n),    protocol::acknowledgeAccepts(d, n),
                             protocol::isRealTimeRecord(d, n), protocol::isStoredRecord(d, n),
                             protocol::isStoredCountAnswer(d, n), protocol::storedCountValid(d, n)};
        QString is;
        for (int i = 0; i < 6; ++i)
            is += says[i] ? QString(QLatin1Char("kArscv"[i])) : QString();
        QTEST(is, "is");
    }

    void storedCountAndNumber()
    {
        Bytes count = answer(10, 0xAB, 0x72);
        count[6] = 0x27; count[7] = 0x0F;
        QCOMPARE(protocol::storedCount(count.data()), 9999);
        Bytes stored = record(0x03);
        stored[33] = 0x01; stored[34] = 0x02;
        QCOMPARE(protocol::storedRecordNumber(stored.data()), 258);
    }

    void recordChecksum_data()
    {
        QTest::addColumn<Bytes>("data");
        QTest::addColumn<bool>("valid");
        const Bytes good = record(0x02);
        QTest::newRow("63 bytes, right sum") << good << true;
        Bytes longer = good; longer.push_back(0x99);
        QTest::newRow("64 bytes, bytes after 62 ignored") << longer << true;
        QTest::newRow("62 bytes") << Bytes(good.begin(), good.end() - 1) << false;
        Bytes payload = good; payload[30] ^= 0x01;
        QTest::newRow("payload bit flipped") << payload << false;
        Bytes low = good; low[62] ^= 0x01;
        QTest::newRow("checksum low byte wrong") << low << false;
        Bytes high = good; high[61] ^= 0x80;
        QTest::newRow("checksum high byte wrong") << high << false;
        Bytes header = good; header[2] = 0x55; header[3] = 0x66;
        QTest::newRow("frame header not summed") << header << true;
        Bytes full(63, 0xFF); full[61] = 14535 >> 8; full[62] = 14535 & 0xFF;
        QTest::newRow("largest sum 57 x 255") << full << true;
    }

    void recordChecksum()
    {
        QFETCH(Bytes, data);
        QTEST(protocol::recordChecksumValid(data.data(), data.size()), "valid");
    }

    void dcSettingsFrame()
    {
        protocol::DcSettings s;
        s.materialIndex = 0; s.currentIndex = 10; s.convertedTemp = 75; s.tapping = 0; s.phaseIndex = 0;
        s.windingIndex = 0; s.conductorNo = 1; s.conductorTemp = 20.0f;
        QCOMPARE(protocol::buildDcSettingsFrame(s),
                 hex("AB CD 00 12 01 00 00 0A 4B 00 01 00 00 01 41 A0 00 00 00 00 01 39"));

        s.conductorTemp = -40.0f;  // the lowest temperature the box sends
        s.materialIndex = 1; s.currentIndex = 21; s.convertedTemp = 115; s.tapping = 99; s.phaseIndex = 5;
        s.windingIndex = 1; s.conductorNo = 9999;
        const Bytes frame = protocol::buildDcSettingsFrame(s);
        QCOMPARE(frame.size(), protocol::kDcSettingsFrameSize);
        QCOMPARE(Bytes(frame.begin() + 6, frame.begin() + 20),
                 hex("01 15 73 63 06 01 27 0F C2 20 00 00 00 00"));
        QCOMPARE(int(protocol::readU16(frame.data() + 20)), int(protocol::checksum(frame.data(), 4, 19)));
    }

    void lengthSettingsFrame()
    {
        protocol::LengthSettings s;
        s.sampleNo = 3; s.currentIndex = 20; s.conductorNo = 258; s.wireSquare = 2.5f;
        s.standardModeIndex = 0; s.standardValue = 100.0f; s.standardUnitIndex = 1;
        const Bytes frame = protocol::buildLengthSettingsFrame(s);
        // AUTO is index 20 in the page's list and code 21 on the wire.
        const Bytes body = hex("AB CD 00 14 01 01 03 15 01 02 40 20 00 00 00 42 C8 00 00 01 00 00");
        Bytes expected = body;
        protocol::appendU16(expected, protocol::checksum(body.data(), 4, body.size() - 1));
        QCOMPARE(frame, expected);
        QCOMPARE(frame.size(), protocol::kLengthSettingsFrameSize);

        s.currentIndex = 19;
        QCOMPARE(int(protocol::buildLengthSettingsFrame(s)[7]), 19);
    }

    // Each frame from the defaults with one field changed.
    void settingsFramesRefuseUnsetFields()
    {
        const auto dc = [](auto change) { protocol::DcSettings s; change(s); return protocol::buildDcSettingsFrame(s); };
        const auto length = [](auto change) { protocol::LengthSettings s; change(s); return protocol::buildLengthSettingsFrame(s); };
        QVERIFY(!dc([](auto&) {}).empty() && !length([](auto&) {}).empty());
        QVERIFY(dc([](auto& s) { s.phaseIndex = -1; }).empty());  // a list with no selection
        QVERIFY(dc([](auto& s) { s.materialIndex = -1; }).empty());
        QVERIFY(dc([](auto& s) { s.conductorNo = 10000; }).empty());
        QVERIFY(length([](auto& s) { s.currentIndex = 21; }).empty());  // the wire code, not a list index
        QVERIFY(length([](auto& s) { s.standardUnitIndex = -1; }).empty());
        QVERIFY(length([](auto& s) { s.sampleNo = 200; }).empty());
    }
};

QTEST_APPLESS_MAIN(ProtocolTest)
#include "test_protocol.moc"
