#include "zuasmpreferences.h"

#include "fixedwidthfont.h"
#include "page_dialogs.h"
#include "qlang_list.h"
#include "ui_zuasmpreferences.h"

#include <QApplication>
#include <QMessageBox>
#include <QPixmapCache>
#include <QSettings>

#include <algorithm>

namespace {

const QString usbGroup = QStringLiteral("USB");
const QString languageKey = QStringLiteral("UI/Language");
const QString editorThemeKey = QStringLiteral("Editor/Theme");

// "Editor/Theme": 0 follows the application's theme, 1 and 2 are the light
// and the dark scheme.
int themeIndex(int stored)
{
    return stored == 1 || stored == 2 ? stored : 0;
}

} // namespace

ZuASMPreferences::ZuASMPreferences(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::ZuASMPreferences)
{
    ui->setupUi(this);
    ui->editorFontCombo->setFontFilters(QFontComboBox::MonospacedFonts);
    connect(this, &QDialog::accepted, this, &ZuASMPreferences::writeSettings);
    readSettings();
}

ZuASMPreferences::~ZuASMPreferences()
{
    delete ui;
}

void ZuASMPreferences::readSettings()
{
    QSettings settings;
    ui->usbFilter->readSettings(settings, QString(), usbGroup);

    ui->dbgRunToMainCheck->setChecked(settings.value(QStringLiteral("DbgToMain"), true).toBool());
    ui->emuGroup->setChecked(settings.value(QStringLiteral("RemoteTCP/EMUEnabled"), true).toBool());
    ui->emuPortSpin->setValue(settings.value(QStringLiteral("RemoteTCP/EMUPort"), 5542).toInt());
    ui->autoTimeSyncCheck->setChecked(settings.value(QStringLiteral("TimeSync"), false).toBool());
    ui->themeCombo->setCurrentIndex(settings.value(QStringLiteral("DarkMode"), false).toBool() ? 1 : 0);
    ui->defaultDirEdit->setText(settings.value(QStringLiteral("Directory"), defaultProjectsDirectory()).toString());

    QLANG::setupLangCombo(settings, ui->langCombo);

    ui->scanTcpCheck->setChecked(settings.value(QStringLiteral("RemoteTCP/Scan"), false).toBool());
    ui->connUdpGroup->setChecked(settings.value(QStringLiteral("RemoteUDP/Scan"), false).toBool());
    ui->udpMeshPortSpin->setValue(settings.value(QStringLiteral("RemoteUDP/MeshPort"), 54242).toInt());
    // Read as unsigned; a value past int's range must still end at the top
    // of the spin box, not wrap to a negative number.
    const uint poll = settings.value(QStringLiteral("Poll"), 500).toUInt();
    ui->pollSpin->setValue(int(std::min(poll, uint(ui->pollSpin->maximum()))));
    ui->autoShowLogCheck->setChecked(settings.value(QStringLiteral("LogShow"), true).toBool());

    const QString fixedFamily = fixedWidthFont().family();
    ui->editorFontCombo->setCurrentFont(QFont(settings.value(QStringLiteral("Editor/Font"), fixedFamily).toString()));
    ui->editorFontSizeSpin->setValue(
        settings.value(QStringLiteral("Editor/FontSize"), QApplication::font().pointSize()).toInt());
    ui->editorAutoParCheck->setChecked(settings.value(QStringLiteral("Editor/AutoPar"), true).toBool());
    ui->editorAutoIndentCheck->setChecked(settings.value(QStringLiteral("Editor/AutoIndent"), true).toBool());
    ui->editorTabWidth->setValue(settings.value(QStringLiteral("Editor/TabWidth"), 4).toInt());
    ui->editorSpacesCheck->setChecked(settings.value(QStringLiteral("Editor/UseSpaces"), true).toBool());
    ui->editorWordWrapCheck->setChecked(settings.value(QStringLiteral("Editor/WordWrap"), false).toBool());
    ui->editorShowSpaceCheck->setChecked(settings.value(QStringLiteral("Editor/VisualizeSpaces"), false).toBool());
    ui->editorCleanWhitespaceCheck->setChecked(settings.value(QStringLiteral("Editor/CleanSpaces"), false).toBool());
    ui->editorFindToggle->setChecked(settings.value(QStringLiteral("Editor/FindToggle"), false).toBool());
    ui->editorThemeCombo->setCurrentIndex(themeIndex(settings.value(editorThemeKey, 0).toInt()));
}

QString ZuASMPreferences::selectedLanguage() const
{
    if (ui->langCombo->currentIndex() <= 0)
        return QString();
    return ui->langCombo->currentData(Qt::UserRole).toLocale().name();
}

void ZuASMPreferences::writeSettings()
{
    QSettings settings;
    ui->usbFilter->writeSettings(settings, usbGroup);
    settings.setValue(QStringLiteral("DbgToMain"), ui->dbgRunToMainCheck->isChecked());
    settings.setValue(QStringLiteral("RemoteTCP/EMUEnabled"), ui->emuGroup->isChecked());
    settings.setValue(QStringLiteral("RemoteTCP/EMUPort"), ui->emuPortSpin->value());
    settings.setValue(QStringLiteral("TimeSync"), ui->autoTimeSyncCheck->isChecked());
    settings.setValue(QStringLiteral("Directory"), ui->defaultDirEdit->text());
    settings.setValue(QStringLiteral("DarkMode"), ui->themeCombo->currentIndex() == 1);
    settings.setValue(QStringLiteral("RemoteTCP/Scan"), ui->scanTcpCheck->isChecked());
    settings.setValue(QStringLiteral("RemoteUDP/Scan"), ui->connUdpGroup->isChecked());
    settings.setValue(QStringLiteral("RemoteUDP/MeshPort"), ui->udpMeshPortSpin->value());
    settings.setValue(QStringLiteral("Poll"), ui->pollSpin->value());
    settings.setValue(QStringLiteral("LogShow"), ui->autoShowLogCheck->isChecked());
    settings.setValue(QStringLiteral("Editor/Font"), ui->editorFontCombo->currentFont().family());
    settings.setValue(QStringLiteral("Editor/FontSize"), ui->editorFontSizeSpin->value());
    settings.setValue(QStringLiteral("Editor/TabWidth"), ui->editorTabWidth->value());
    settings.setValue(QStringLiteral("Editor/UseSpaces"), ui->editorSpacesCheck->isChecked());
    settings.setValue(QStringLiteral("Editor/VisualizeSpaces"), ui->editorShowSpaceCheck->isChecked());
    settings.setValue(QStringLiteral("Editor/CleanSpaces"), ui->editorCleanWhitespaceCheck->isChecked());
    settings.setValue(QStringLiteral("Editor/AutoPar"), ui->editorAutoParCheck->isChecked());
    settings.setValue(QStringLiteral("Editor/AutoIndent"), ui->editorAutoIndentCheck->isChecked());
    settings.setValue(QStringLiteral("Editor/WordWrap"), ui->editorWordWrapCheck->isChecked());
    settings.setValue(QStringLiteral("Editor/FindToggle"), ui->editorFindToggle->isChecked());

    // Pictures drawn in the old editor scheme must not be reused.
    const int theme = ui->editorThemeCombo->currentIndex();
    if (settings.value(editorThemeKey, 0).toInt() != theme)
        QPixmapCache::clear();
    settings.setValue(editorThemeKey, theme);

    // Only a change away from a stored language is announced.
    const QString language = selectedLanguage();
    const QString stored = settings.value(languageKey, QString()).toString();
    settings.setValue(languageKey, language);
    if (!stored.isEmpty() && stored != language)
        showLanguageWarning();
}

void ZuASMPreferences::showLanguageWarning()
{
    // This runs inside done(), so the box is opened, never exec()'d: an event
    // loop here would let the dialog be deleted under done(), which goes on
    // using it. The box belongs to the dialog's window, not to the dialog,
    // which the caller deletes once exec() has returned.
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Change Language"),
                                tr("Language will be changed after an application restart."), QMessageBox::Ok,
                                parentWidget());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}
