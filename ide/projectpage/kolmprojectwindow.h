#pragma once

#include <QByteArray>
#include <QPair>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <sstream>

class KolmBoardPackageParser;
class KolmProject;
class QKOSHighlighter;
class QKolmExtendedCompleter;
class QTextCursor;
class QXMLHighlighter;
class SvgViewer;

namespace Ui {
class KolmProjectWindow;
}

// The project page: one open Kolm project, one of its files at a time in the
// source editor, a row of tools above it (file selector, save, new, add and
// remove file, board package table, project menu) and the in-process build.
// It owns the project while one is set, keeps the project's board package
// parsed for the build and the completer, and reports to its host only
// through its signals.
class KolmProjectWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(bool modified READ modified)
    Q_PROPERTY(bool compiled READ compiled)

public:
    explicit KolmProjectWindow(QWidget* parent = nullptr);
    ~KolmProjectWindow() override;

    // Takes the project after closing the current one; false when the user
    // kept the current one open, the caller then keeps (and deletes) it.
    bool setProject(KolmProject* project);
    KolmProject* project() const { return m_project; }
    // The project's parsed board package; null without one.
    const KolmBoardPackageParser* boardPackage() const { return m_boardPackage; }

    // Applies the editor settings.
    void readSettings();
    // Saves the editor's file and the project file without asking.
    bool saveChanges();
    // Asks about the editor's file, then saves the project file; false keeps
    // the host window open.
    bool trySaveChanges();

    // The project's name, or its file's name without the last extension.
    QString name() const;
    // The project or the editor's document is modified.
    bool modified() const;
    // The output was built since the last change, and checked against the
    // device memory limits that are in force now.
    bool compiled() const { return m_compiled && m_builtLimits == qMakePair(flashLimit, ramLimit); }
    // Where the next forward search starts; -1 before the first search.
    int searchPosition() const { return m_searchPosition; }
    // The output file's absolute path; the whole image; its uploadable part.
    QString output() const;
    QByteArray outputElf() const;
    QByteArray outputBin() const;

    // The uploadable part of an image: header and code, plus the data
    // section when it directly follows the code.
    static QByteArray uploadablePart(const QByteArray& image);

    // A free name for a temporary file of the IDE in the user's application
    // data directory; empty when that directory cannot be made.
    static QString makeTemporaryFile(const QString& name);
    // Deletes the IDE's temporary files there.
    static void cleanTemporaryStorage();

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Memory of the connected device, 0 for none: the image must fit
    // flashLimit bytes, the global variable area ramLimit bytes.
    uint32_t flashLimit = 0;
    uint32_t ramLimit = 0;

signals:
    void copyAvailable(bool on);
    void projectModified(bool on);
    void compiledChanged(bool on);
    void compilationFinished(bool result);
    void information(QString message);
    void error(QString message);
    void hideRequested();

public slots:
    void closeProject();
    void compile();
    void open(QString file);
    void saveProject();
    void copy();
    void cut();
    void paste();
    // Opens the find/replace bar with the editor's selection as find text;
    // with the find toggle on, a second call closes it.
    void showFindReplace();
    void insert(QString text);
    void setProjectDebug(bool on);
    void setProjectOptimize(bool on);

private slots:
    void on_projectBspButton_clicked();
    void on_codeSelectorCombo_activated(int idx);
    void on_codeSaveTool_clicked();
    void on_codeNewTool_clicked();
    void on_codeAddTool_clicked();
    void on_codeRemoveTool_clicked();
    void on_codeFindEdit_textChanged(const QString& text);
    void on_codeFindNextButton_clicked();
    void on_codeFindPrevButton_clicked();
    void on_codeReplaceButton_clicked();
    void on_codeReplaceAllButton_clicked();
    void code_modificationChanged(bool changed);
    void showProjectSchematic();
    void showProjectHexview();
    void showProjectLocation();
    void showProjectOptions();

private:
    bool codeSave_core(bool force);
    // Searches from the search position, wrapping once when `wrap` is set;
    // a match becomes the selection, the modified state stays. False when
    // nothing was found; the search position then stays.
    bool codeSearchNext(const QString& text, bool wrap);
    bool codeSearchPrev(const QString& text, bool wrap);
    void selectMatch(const QTextCursor& match);
    int documentEnd() const;
    // Shows a file in the editor; false when it cannot be read or the page
    // was deleted while a box was open.
    bool openFile(const QString& file);
    void emptyEditor();
    void warnProjectNotSaved();
    void reloadBSP();
    bool build();
    void closeConsoleOutput(std::stringstream& diagnostics, bool success);
    bool reportSize(uint32_t text, uint32_t data, uint32_t bss, int uploadable);
    void setCompiled(bool on);
    void warnCompiler(const QString& text);
    void releaseProject();
    QString projectDirectory() const;

    Ui::KolmProjectWindow* ui;
    SvgViewer* m_schematicViewer;
    bool m_findToggle = false;
    KolmProject* m_project = nullptr;
    QString m_currentFile;
    bool m_compiled = false;
    // flashLimit and ramLimit when the output was last built.
    QPair<uint32_t, uint32_t> m_builtLimits;
    // Also the point before which the next backward search looks.
    int m_searchPosition = -1;
    bool m_building = false;
    bool m_loading = false; // a file is being put into the editor
    QKolmExtendedCompleter* m_completer;
    QKOSHighlighter* m_scriptHighlighter;
    QXMLHighlighter* m_xmlHighlighter;
    KolmBoardPackageParser* m_boardPackage = nullptr;
};
