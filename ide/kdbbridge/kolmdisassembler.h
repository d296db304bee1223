#ifndef KOLM_KOLMDISASSEMBLER_H
#define KOLM_KOLMDISASSEMBLER_H

// Turns a bytecode image into halvane-kdb's JSON listing, one run at a
// time, on a worker thread. The listing of the last successful run stays
// here for the owner; the end of every attempt is reported by finished().

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

class CompilerController;

class KolmDisassembler : public QObject {
    Q_OBJECT

public:
    explicit KolmDisassembler(QObject *parent = nullptr);

    // The listing of the last successful run; empty after a failed one.
    const QByteArray &result() const;

public slots:
    // Disassembles the image file.
    void run(const QString &file);
    // Disassembles image bytes, given on the program's standard input.
    void run(const QByteArray &data);

signals:
    // True when the listing is in result().
    void finished(bool result);
    // One line of the disassembler's standard error.
    void error(const QString &message);

private slots:
    void compileTool_finished(bool result);
    void compileTool_output(const QString &line);

private:
    void run_int(const QStringList &args, const QByteArray &input);
    // Shows a modal warning; false when the bridge was deleted meanwhile.
    bool warn(const QString &text);

    CompilerController *m_runner = nullptr;
    QByteArray m_result;
};

#endif
