#include "dfu_package.h"
#include "firmware_package.h"
#include "hid_bootloader.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

namespace {

constexpr uint32_t Board = 0x00C0FFEE;
const QByteArray Image = QByteArray::fromHex("0001020304050607");

QByteArray withInfoLength(QByteArray package, uint32_t infoLength)
{
    qToLittleEndian<quint32>(infoLength, package.data() + 8);
    return package;
}

const QString Invalid = QStringLiteral("Firmware package is invalid");
const QString NotPackage = QStringLiteral("fw.dfu is not a firmware package");
const QString Incompatible =
    QStringLiteral("Incompatible hardware detected.\nfw.dfu firmware package is designed for a different board");

} // namespace

class DfuPackageTest : public QObject
{
    Q_OBJECT

private slots:
    void checkPackage_data();
    void checkPackage();
};

void DfuPackageTest::checkPackage_data()
{
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<uint>("board");
    QTest::addColumn<bool>("statusReadable");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("info");
    QTest::addColumn<int>("imageOffset");
    QTest::addColumn<int>("statusReads");

    const QByteArray smallest = firmwarePackage(Board, QByteArray(), Image.left(4));
    QTest::newRow("15 bytes") << smallest.left(15) << Board << true << Invalid << QString() << -1 << 0;
    QTest::newRow("16 bytes, no info") << smallest << Board << true << QString() << QString() << 12 << 1;
    QByteArray bigEndian = smallest;
    qToBigEndian<quint32>(0x424210F0, bigEndian.data());
    QTest::newRow("magic written big-endian") << bigEndian << Board << true << NotPackage << QString() << -1 << 0;
    QTest::newRow("another board") << smallest << Board + 1 << true << Incompatible << QString() << -1 << 1;
    QTest::newRow("status unreadable") << smallest << Board << false << Incompatible << QString() << -1 << 1;

    QTest::newRow("info length 5, padded")
        << firmwarePackage(Board, "YWJj=", Image) << Board << true << QString() << "abc" << 20 << 1;
    QTest::newRow("info length 8, no padding")
        << firmwarePackage(Board, "YWJjZGVm", Image) << Board << true << QString() << "abcdef" << 20 << 1;
    QTest::newRow("info ends at NUL")
        << firmwarePackage(Board, QByteArray("abc\0xyz", 7).toBase64(), Image) << Board << true << QString() << "abc"
        << 24 << 1;
    QTest::newRow("info decodes to nothing")
        << firmwarePackage(Board, "====", Image) << Board << true << QString() << QString() << 16 << 1;

    const QByteArray withInfo = firmwarePackage(Board, "YWJjZGVm", Image);
    QTest::newRow("info past the end")
        << withInfoLength(withInfo, 100) << Board << true << Invalid << QString() << -1 << 0;
    QTest::newRow("info length near 4 GiB")
        << withInfoLength(withInfo, 0xFFFFFFFDu) << Board << true << Invalid << QString() << -1 << 0;
    QTest::newRow("empty image, info to the end")
        << firmwarePackage(Board, "YWJjZGVm", QByteArray()) << Board << true << Invalid << QString() << -1 << 0;
    // The description is a version text: a few KiB at most, whatever the
    // header claims.
    const QByteArray longest = QByteArray(DfuPackageHeader::MaxInfoLength / 4 * 3, 'v').toBase64();
    QTest::newRow("info at the bound") << firmwarePackage(Board, longest, Image) << Board << true << QString()
                                       << QString(longest.size() / 4 * 3, 'v') << 12 + longest.size() << 1;
    QTest::newRow("info over the bound")
        << firmwarePackage(Board, longest + "YWJj", Image) << Board << true << Invalid << QString() << -1 << 0;
    QTest::newRow("info with markup stays text")
        << firmwarePackage(Board, QByteArray("<b>x</b> & y").toBase64(), Image) << Board << true << QString()
        << "<b>x</b> & y" << 28 << 1;
    QTest::newRow("empty image, padding to the end")
        << firmwarePackage(Board, "YWJj=", QByteArray()) << Board << true << Invalid << QString() << -1 << 0;
}

void DfuPackageTest::checkPackage()
{
    QFETCH(QByteArray, package);
    QFETCH(uint, board);
    QFETCH(bool, statusReadable);
    QFETCH(QString, warning);
    QFETCH(int, imageOffset);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile file(dir.filePath(QStringLiteral("fw.dfu")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(package), qint64(package.size()));
    file.close();
    QVERIFY(file.open(QIODevice::ReadOnly));

    SimulatedHidBootloader bootloader;
    bootloader.status.hardwareId = board;
    bootloader.failFeatureReads = !statusReadable;
    QStringList warnings;
    bool openAtWarning = false;
    QString info = QStringLiteral("unset");
    const bool accepted = checkFirmwarePackage(
        file, info, [&](DFUStatus *status) { return getStatus(&bootloader, status); },
        [&](const QString &message) {
            warnings.append(message);
            openAtWarning = openAtWarning || file.isOpen();
        });

    QCOMPARE(accepted, warning.isEmpty());
    QCOMPARE(warnings, warning.isEmpty() ? QStringList() : QStringList{warning});
    QTEST(int(bootloader.featureReads.size()), "statusReads");
    if (!accepted) {
        // Closed before the warning box could run its event loop.
        QVERIFY(!openAtWarning);
        QVERIFY(!file.isOpen());
        QCOMPARE(info, QStringLiteral("unset"));
        return;
    }
    QTEST(info, "info");
    QCOMPARE(file.pos(), qint64(imageOffset));
    QCOMPARE(file.readAll(), package.mid(imageOffset));
}

QTEST_GUILESS_MAIN(DfuPackageTest)
#include "dfu_package_test.moc"
