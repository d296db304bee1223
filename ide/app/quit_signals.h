#ifndef KOLM_QUIT_SIGNALS_H
#define KOLM_QUIT_SIGNALS_H

// SIGTERM, SIGINT and SIGHUP as a request to quit: while an object of this
// class lives, each of them is caught and reported on the GUI thread by
// `received`, so that the IDE closes its window as its Quit action does
// (and stops its emulator child) instead of dying with the child left
// running. The handler only writes the signal's number to a socket pair;
// the object reads it from the event loop.

#include <QObject>

#include <csignal>

class QSocketNotifier;

class QuitSignals : public QObject {
    Q_OBJECT

public:
    explicit QuitSignals(QObject *parent = nullptr);
    // Puts back the handlers that were there before.
    ~QuitSignals() override;

signals:
    void received(int signal);

private:
    void readSignals();

    int m_pair[2] = {-1, -1};
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_previous[3];
};

#endif
