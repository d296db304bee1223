// The restart loop with fake passes: the order of passes, the exit status
// and the firmware hand-off strings, and the IDE pass's result for each
// event-loop result.

#include "restart_loop.h"

#include <QTest>

class RestartLoopTest : public QObject {
    Q_OBJECT

private slots:
    void passes_data();
    void passes();
    void handOffStrings();
    void idePassResult_data();
    void idePassResult();
    void eachPassHasItsOwnArguments();
};

void RestartLoopTest::passes_data()
{
    QTest::addColumn<QList<int>>("results");
    QTest::addColumn<QString>("expectedPasses");
    QTest::addColumn<int>("exitStatus");
    // Results in the order the passes return them; I an IDE pass, U an
    // updater pass.
    QTest::newRow("IDE ends") << QList<int>{0} << "I" << 0;
    QTest::newRow("1 2 1 0") << QList<int>{1, 2, 1, 0} << "IIUI" << 0;
    QTest::newRow("3 ends with 1") << QList<int>{3} << "I" << 1;
    QTest::newRow("negative ends with 1") << QList<int>{-1} << "I" << 1;
    QTest::newRow("updater 2 runs it again") << QList<int>{2, 2, 2, 0} << "IUUU" << 0;
    QTest::newRow("updater 1 back to the IDE") << QList<int>{2, 1, 0} << "IUI" << 0;
    QTest::newRow("updater 5 ends with 1") << QList<int>{2, 5} << "IU" << 1;
}

void RestartLoopTest::passes()
{
    QFETCH(QList<int>, results);
    QFETCH(QString, expectedPasses);
    QFETCH(int, exitStatus);
    QString passes;
    auto next = [&](QChar kind) {
        passes += kind;
        return results.isEmpty() ? 99 : results.takeFirst();
    };
    const int status = runRestartLoop([&](QString &, QString &) { return next(QLatin1Char('I')); },
                                      [&](const QString &, const QString &) { return next(QLatin1Char('U')); });
    QCOMPARE(passes, expectedPasses);
    QCOMPARE(status, exitStatus);
    QVERIFY(results.isEmpty());
}

void RestartLoopTest::handOffStrings()
{
    QStringList seen;
    int idePasses = 0;
    const int status = runRestartLoop(
        [&](QString &transport, QString &product) {
            seen << QStringLiteral("ide:%1/%2").arg(transport, product);
            switch (idePasses++) {
            case 0:
                transport = QStringLiteral("usb");
                product = QStringLiteral("Pellam DFU");
                return 2;
            case 1:
                return 1; // keeps what the last window left
            default:
                transport.clear();
                product.clear();
                return 0;
            }
        },
        [&](const QString &transport, const QString &product) {
            seen << QStringLiteral("dfu:%1/%2").arg(transport, product);
            return 1;
        });
    QCOMPARE(status, 0);
    QCOMPARE(seen, (QStringList{"ide:/", "dfu:usb/Pellam DFU", "ide:usb/Pellam DFU", "ide:usb/Pellam DFU"}));
}

void RestartLoopTest::idePassResult_data()
{
    QTest::addColumn<int>("eventLoop");
    QTest::addColumn<int>("result");
    QTest::newRow("254 another pass") << 254 << 1;
    QTest::newRow("255 the updater") << 255 << 2;
    QTest::newRow("0 the end") << 0 << 0;
    QTest::newRow("1 the end") << 1 << 0;
    QTest::newRow("2 the end") << 2 << 0;
    QTest::newRow("253 the end") << 253 << 0;
    QTest::newRow("-1 the end") << -1 << 0;
}

void RestartLoopTest::idePassResult()
{
    QFETCH(int, eventLoop);
    QFETCH(int, result);
    QCOMPARE(::idePassResult(eventLoop), result);
}

void RestartLoopTest::eachPassHasItsOwnArguments()
{
    char program[] = "kolmide";
    char platform[] = "-platform";
    char offscreen[] = "offscreen";
    char lang[] = "--lang";
    char *argv[] = {program, platform, offscreen, lang, nullptr};
    const int argc = 4;
    QList<QByteArrayList> seen;
    int idePasses = 0;
    const int status = runRestartLoop(
        [&](QString &, QString &) {
            PassArguments args(argc, argv);
            QByteArrayList pass;
            for (int i = 0; i < args.count(); ++i)
                pass << args.values()[i];
            seen << pass;
            if (args.values()[args.count()] != nullptr)
                seen << QByteArrayList{"no terminator"};
            // What the toolkit does with its own options: it takes them out
            // of the array and lowers the count.
            args.values()[1] = args.values()[3];
            args.values()[2] = nullptr;
            args.count() = 2;
            return idePasses++ == 0 ? 1 : 0;
        },
        [](const QString &, const QString &) { return 0; });
    QCOMPARE(status, 0);
    const QByteArrayList whole{"kolmide", "-platform", "offscreen", "--lang"};
    QCOMPARE(seen, (QList<QByteArrayList>{whole, whole}));
    QCOMPARE(QByteArray(argv[1]), QByteArray("-platform"));
}

QTEST_GUILESS_MAIN(RestartLoopTest)
#include "restart_loop_test.moc"
