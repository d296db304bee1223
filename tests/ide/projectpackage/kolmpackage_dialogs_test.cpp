#include <QtTest>

#include "kolmpackagedialogs.h"
#include "temp_settings.h"

// The package dialogs start where the last package was chosen.
class KolmPackageDialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void startsAtHomeUntilAPackageIsChosen()
    {
        TempSettings temp;
        QSettings settings;
        QCOMPARE(KolmPackageDialogs::packageDirectory(settings), QDir::homePath());
        KolmPackageDialogs::rememberPackage(settings, "/data/packages/p.zip");
        QCOMPARE(settings.value("ImportExport").toString(), QString("/data/packages"));
        QCOMPARE(KolmPackageDialogs::packageDirectory(settings), QString("/data/packages"));
    }

    void relativeChoiceIsStoredAbsolute()
    {
        TempSettings temp;
        QSettings settings;
        KolmPackageDialogs::rememberPackage(settings, "sub/p.zip");
        QCOMPARE(KolmPackageDialogs::packageDirectory(settings), QDir::current().filePath("sub"));
    }

    void texts()
    {
        QCOMPARE(KolmPackageDialogs::fileFilter(), QString("Kolm Package (*.zip)"));
        QCOMPARE(KolmPackageDialogs::exportTitle(), QString("Export as"));
        QCOMPARE(KolmPackageDialogs::importTitle(), QString("Import Project"));
        QCOMPARE(KolmPackageDialogs::importTargetTitle(), QString("Import to"));
    }
};

QTEST_GUILESS_MAIN(KolmPackageDialogsTest)
#include "kolmpackage_dialogs_test.moc"
