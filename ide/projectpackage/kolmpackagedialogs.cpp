#include "kolmpackagedialogs.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

const QString kPackageDirectory = QStringLiteral("ImportExport");

} // namespace

QString KolmPackageDialogs::fileFilter() { return tr("Kolm Package (*.zip)"); }
QString KolmPackageDialogs::exportTitle() { return tr("Export as"); }
QString KolmPackageDialogs::importTitle() { return tr("Import Project"); }
QString KolmPackageDialogs::importTargetTitle() { return tr("Import to"); }
QString KolmPackageDialogs::exportProgress() { return tr("Exporting the project..."); }
QString KolmPackageDialogs::importProgress() { return tr("Importing the project..."); }

QString KolmPackageDialogs::exportedTo(const QString& name, const QString& packagePath)
{
    return tr("Project %1 exported to %2").arg(name, packagePath);
}

QString KolmPackageDialogs::importedTo(const QString& name, const QString& directory)
{
    return tr("Project %1 imported to %2").arg(name, directory);
}

QString KolmPackageDialogs::packageDirectory(const QSettings& settings)
{
    return settings.value(kPackageDirectory, QDir::homePath()).toString();
}

void KolmPackageDialogs::rememberPackage(QSettings& settings, const QString& packagePath)
{
    settings.setValue(kPackageDirectory, QFileInfo(packagePath).absolutePath());
}
