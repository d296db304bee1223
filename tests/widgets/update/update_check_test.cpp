// The update check: the newest release and the change notes of the releases
// in between, every kind of failure, the download's limits, and when the
// check runs by itself.

#include "http_stub.h"
#include "jsondownload.h"
#include "updateschedule.h"
#include "zuupdate_unix.h"

#include <QDateTime>
#include <QFutureWatcher>
#include <QSettings>
#include <QSignalSpy>
#include <QtConcurrent>
#include <QtTest>

namespace {

const int waitMs = 15000;
const char timeFormat[] = "yyyy.MM.dd hh:mm:ss";

struct Offer {
    bool canUpdate;
    QString version;
    QString changelog;
    QString url;
};

QByteArray release(const char *version, const char *notes, const char *url)
{
    return QByteArray("{\"version\": \"") + version + "\", \"changelog\": [" + notes + "], \"url86\": \"" + url
           + "\"}";
}

} // namespace

Q_DECLARE_METATYPE(Offer)

class UpdateCheckTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QCoreApplication::setOrganizationName(QStringLiteral("kolm-test"));
        QCoreApplication::setApplicationName(QStringLiteral("update"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.path());
    }

    // The downloads ran on the global thread pool: its threads are joined
    // before exit, so the leak check at exit never meets a thread still
    // running.
    void cleanupTestCase() { QThreadPool::globalInstance()->waitForDone(); }

    // No check runs by itself unless a test asks for one.
    void init()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("1.2.0"));
        QSettings settings;
        settings.clear();
        settings.setValue(QStringLiteral("Updates/Auto"), false);
    }

    void newestRelease_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<Offer>("offer");

        const QByteArray in_between = "[" + release("1.1.0", "\"old\"", "u110") + ","
                                      + release("1.3.0", "\"c\", \"d\"", "u130") + ","
                                      + release("1.2.5", "\"a\", \"b\"", "u125") + "]";
        QTest::newRow("newest, with the notes of the releases in between")
            << "1.2.0" << in_between << Offer{true, "1.3.0", "\na\nb\nc\nd", "u130"};
        QTest::newRow("all older or equal")
            << "1.2.0" << "[" + release("1.1.0", "\"x\"", "u1") + "," + release("1.2.0", "\"y\"", "u2") + "]"
            << Offer{false, "", "", ""};
        QTest::newRow("empty list") << "1.2.0" << QByteArray("[]") << Offer{false, "", "", ""};
        QTest::newRow("entry without version ignored")
            << "1.2.0" << "[{\"changelog\": [\"lost\"], \"url86\": \"u\"}," + release("1.3.0", "\"kept\"", "u130") + "]"
            << Offer{true, "1.3.0", "\nkept", "u130"};
        QTest::newRow("entry with an unreadable version ignored")
            << "1.2.0" << "[" + release("new", "\"lost\"", "u") + "]" << Offer{false, "", "", ""};
        QTest::newRow("newest without change notes")
            << "1.2.0"
            << "[" + release("1.2.1", "\"fix\"", "u121") + ",{\"version\": \"1.4.0\", \"url86\": \"u140\"}]"
            << Offer{true, "1.4.0", "\nfix", "u140"};
        QTest::newRow("equal newest versions: first wins")
            << "1.2.0" << "[" + release("1.3.0", "\"first\"", "first") + "," + release("1.3", "\"second\"", "second") + "]"
            << Offer{true, "1.3.0", "\nsecond\nfirst", "first"};
        QTest::newRow("versions compare as numbers")
            << "1.9.0" << "[" + release("1.10.0", "\"ten\"", "u10") + "," + release("1.9.1", "\"nine\"", "u9") + "]"
            << Offer{true, "1.10.0", "\nnine\nten", "u10"};
        QTest::newRow("suffix of the running version ignored")
            << "1.2.0-beta" << "[" + release("1.2.0", "\"same\"", "u") + "]" << Offer{false, "", "", ""};
        QTest::newRow("notes that are not text")
            << "1.2.0" << "[" + release("2.0.0", "7, true", "u2") + "]" << Offer{true, "2.0.0", "\n7\ntrue", "u2"};
        QTest::newRow("elements that are not objects ignored")
            << "1.2.0" << "[1, \"2.0.0\", null," + release("1.2.1", "", "u") + "]" << Offer{true, "1.2.1", "", "u"};
    }

    void newestRelease()
    {
        QFETCH(QString, current);
        QFETCH(QByteArray, document);
        QFETCH(Offer, offer);
        QCoreApplication::setApplicationVersion(current);
        QFile file(m_dir.filePath(QStringLiteral("releases.json")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(document);
        file.close();
        verifyCheck(QUrl::fromLocalFile(file.fileName()).toString(), offer);
    }

    void overHttp()
    {
        HttpStub server("[" + release("1.3.0", "\"new\"", "http://example.invalid/kolm.AppImage") + "]");
        QVERIFY(server.isListening());
        verifyCheck(server.url(), Offer{true, "1.3.0", "\nnew", "http://example.invalid/kolm.AppImage"});
        QCOMPARE(server.requests(), 1);
    }

    // A check that cannot read the description reports a failure with its
    // reason, never "no newer release". An empty reason stands for the
    // network's own text, which only has to be there.
    void failures_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty address") << "" << "the address \"\" is not valid";
        QTest::newRow("invalid address") << "http://[::1" << "the address \"http://[::1\" is not valid";
        QTest::newRow("unknown scheme") << "gopher2://127.0.0.1/" << "";
        QTest::newRow("missing file") << "file:///nonexistent/kolm/releases.json" << "";
    }

    void failures()
    {
        QFETCH(QString, url);
        QFETCH(QString, reason);
        verifyFailure(url, reason);
    }

    void unreadableDescriptions_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::newRow("not an array") << release("9.0.0", "\"x\"", "u");
        QTest::newRow("invalid JSON") << QByteArray("[{\"version\": \"9.0.0\",");
        QTest::newRow("empty file") << QByteArray();
    }

    void unreadableDescriptions()
    {
        QFETCH(QByteArray, document);
        QFile file(m_dir.filePath(QStringLiteral("releases.json")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(document);
        file.close();
        verifyFailure(QUrl::fromLocalFile(file.fileName()).toString(),
                      QStringLiteral("the update description is not readable"));
    }

    void httpErrorStatus()
    {
        HttpStub server("[" + release("1.3.0", "\"new\"", "u") + "]", "404 Not Found");
        verifyFailure(server.url(), QString());
    }

    // Called directly with a short limit; the updater waits 10 s.
    void timeOut()
    {
        HttpStub server("[]");
        server.hold();
        QFutureWatcher<JsonDownload> watcher;
        QSignalSpy finished(&watcher, &QFutureWatcher<JsonDownload>::finished);
        watcher.setFuture(QtConcurrent::run(downloadJSon, server.url(), 300));
        QVERIFY(finished.wait(waitMs));
        QVERIFY(watcher.result().document.isNull());
        QCOMPARE(watcher.result().failure, JsonDownload::TimedOut);
        QCOMPARE(server.requests(), 1);
    }

    void bodySizeLimit_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("small") << 1000 << true;
        QTest::newRow("at the limit") << int(updateDownloadMaxBytes) << true;
        QTest::newRow("over the limit") << int(updateDownloadMaxBytes) + 1 << false;
    }

    void bodySizeLimit()
    {
        QFETCH(int, size);
        QFETCH(bool, accepted);
        QByteArray body(size, ' ');
        body[0] = '[';
        body[size - 1] = ']';
        HttpStub server(body);
        QFutureWatcher<JsonDownload> watcher;
        QSignalSpy finished(&watcher, &QFutureWatcher<JsonDownload>::finished);
        watcher.setFuture(QtConcurrent::run(downloadJSon, server.url(), updateDownloadTimeoutMs));
        QVERIFY(finished.wait(waitMs));
        QCOMPARE(watcher.result().document.isArray(), accepted);
        QCOMPARE(watcher.result().failure, accepted ? JsonDownload::None : JsonDownload::TooLong);
    }

    void secondRequestWhileCheckingIsIgnored()
    {
        HttpStub server("[" + release("1.3.0", "", "u") + "]");
        server.hold();
        AppUpdater updater(server.url(), nullptr);
        QSignalSpy offers(&updater, &AppUpdater::updateInfoAvailable);
        updater.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(server.requests(), 1, waitMs);
        updater.checkForUpdates();
        server.release();
        QVERIFY(offers.wait(waitMs));
        QTest::qWait(200);
        QCOMPARE(offers.count(), 1);
        QCOMPARE(server.connections(), 1);

        // Once evaluated, the next request checks again.
        updater.checkForUpdates();
        QVERIFY(offers.wait(waitMs));
        QCOMPARE(server.connections(), 2);
    }

    void checkRecordsItsStart()
    {
        const QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        AppUpdater updater(QStringLiteral("file:///nonexistent/kolm/releases.json"), nullptr);
        QSignalSpy failures(&updater, &AppUpdater::updateCheckFailed);
        updater.checkForUpdates();
        QVERIFY(failures.wait(waitMs));
        const QDateTime last = QDateTime::fromString(
            QSettings().value(QStringLiteral("Updates/LastCheck")).toString(), QLatin1String(timeFormat));
        QVERIFY(last.isValid());
        QVERIFY(last >= before && last <= QDateTime::currentDateTime());
    }

    // Closing the IDE during a check waits for the download to end.
    void destructionWaitsForTheDownload()
    {
        HttpStub server("[]");
        server.hold();
        QScopedPointer<AppUpdater> updater(new AppUpdater(server.url(), nullptr));
        updater->checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(server.requests(), 1, waitMs);
        QTimer::singleShot(300, &server, &HttpStub::release);
        updater.reset();
        QCOMPARE(server.requests(), 1);
    }

    void checkDue_data()
    {
        QTest::addColumn<QVariant>("autoCheck");
        QTest::addColumn<QVariant>("interval");
        QTest::addColumn<QVariant>("lastCheck");
        QTest::addColumn<bool>("due");
        const QDateTime now = QDateTime::fromString("2024.03.10 12:00:00", timeFormat);
        const auto before = [&](int days, int seconds) {
            return QVariant(now.addDays(-days).addSecs(-seconds).toString(timeFormat));
        };
        QTest::newRow("never checked") << QVariant() << QVariant() << QVariant() << true;
        QTest::newRow("six days ago") << QVariant() << QVariant() << before(6, 0) << false;
        QTest::newRow("exactly seven days ago") << QVariant() << QVariant() << before(7, 0) << false;
        QTest::newRow("seven days and a second ago") << QVariant() << QVariant() << before(7, 1) << true;
        QTest::newRow("eight days ago") << QVariant() << QVariant() << before(8, 0) << true;
        QTest::newRow("unreadable date") << QVariant() << QVariant() << QVariant("yesterday") << true;
        QTest::newRow("in the future") << QVariant() << QVariant() << before(-3, 0) << false;
        QTest::newRow("interval 10, eight days ago") << QVariant() << QVariant(10) << before(8, 0) << false;
        QTest::newRow("interval 0 counts as one day") << QVariant() << QVariant(0) << before(1, 1) << true;
        QTest::newRow("interval 0, an hour ago") << QVariant() << QVariant(0) << before(0, 3600) << false;
        QTest::newRow("automatic checks on") << QVariant(true) << QVariant() << before(8, 0) << true;
        QTest::newRow("automatic checks off") << QVariant(false) << QVariant() << before(30, 0) << false;
        QTest::newRow("automatic checks off, never checked") << QVariant(false) << QVariant() << QVariant() << false;
    }

    void checkDue()
    {
        QFETCH(QVariant, autoCheck);
        QFETCH(QVariant, interval);
        QFETCH(QVariant, lastCheck);
        QFETCH(bool, due);
        QSettings settings;
        settings.clear();
        if (autoCheck.isValid())
            settings.setValue(QStringLiteral("Updates/Auto"), autoCheck);
        if (interval.isValid())
            settings.setValue(QStringLiteral("Updates/Interval"), interval);
        if (lastCheck.isValid())
            settings.setValue(QStringLiteral("Updates/LastCheck"), lastCheck);
        QCOMPARE(automaticUpdateCheckDue(settings, QDateTime::fromString("2024.03.10 12:00:00", timeFormat)), due);
    }

    void automaticCheck_data()
    {
        QTest::addColumn<QVariant>("autoCheck");
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<bool>("checks");
        QTest::newRow("eight days ago") << QVariant() << 8 << true;
        QTest::newRow("six days ago") << QVariant() << 6 << false;
        QTest::newRow("automatic checks off") << QVariant(false) << 30 << false;
    }

    void automaticCheck()
    {
        QFETCH(QVariant, autoCheck);
        QFETCH(int, daysAgo);
        QFETCH(bool, checks);
        const QString lastCheck = QDateTime::currentDateTime().addDays(-daysAgo).toString(timeFormat);
        QSettings settings;
        settings.clear();
        if (autoCheck.isValid())
            settings.setValue(QStringLiteral("Updates/Auto"), autoCheck);
        settings.setValue(QStringLiteral("Updates/LastCheck"), lastCheck);
        settings.sync();

        HttpStub server("[" + release("1.3.0", "", "u") + "]");
        AppUpdater updater(server.url(), nullptr);
        QSignalSpy offers(&updater, &AppUpdater::updateInfoAvailable);
        if (checks) {
            QVERIFY(offers.wait(waitMs));
            QCOMPARE(offers.at(0).at(0).toBool(), true);
        } else {
            // The check would start one second after construction.
            QTest::qWait(1500);
            QCOMPARE(offers.count(), 0);
            QCOMPARE(server.connections(), 0);
            QCOMPARE(QSettings().value(QStringLiteral("Updates/LastCheck")).toString(), lastCheck);
        }
        // A check on request works whatever the settings say.
        updater.checkForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(offers.count(), checks ? 2 : 1, waitMs);
    }

private:
    static void verifyFailure(const QString &url, const QString &reason)
    {
        AppUpdater updater(url, nullptr);
        QSignalSpy offers(&updater, &AppUpdater::updateInfoAvailable);
        QSignalSpy failures(&updater, &AppUpdater::updateCheckFailed);
        updater.checkForUpdates();
        QVERIFY(failures.wait(waitMs));
        QCOMPARE(failures.count(), 1);
        QCOMPARE(offers.count(), 0);
        const QString got = failures.takeFirst().at(0).toString();
        if (reason.isEmpty())
            QVERIFY(!got.trimmed().isEmpty());
        else
            QCOMPARE(got, reason);
    }

    static void verifyCheck(const QString &url, const Offer &offer)
    {
        AppUpdater updater(url, nullptr);
        QSignalSpy offers(&updater, &AppUpdater::updateInfoAvailable);
        updater.checkForUpdates();
        QVERIFY(offers.wait(waitMs));
        QCOMPARE(offers.count(), 1);
        const QList<QVariant> got = offers.takeFirst();
        QCOMPARE(got.at(0).toBool(), offer.canUpdate);
        QCOMPARE(got.at(1).toString(), offer.version);
        QCOMPARE(got.at(2).toString(), offer.changelog);
        QCOMPARE(got.at(3).toString(), offer.url);
    }

    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(UpdateCheckTest)
#include "update_check_test.moc"
