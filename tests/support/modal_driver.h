#ifndef KOLM_TEST_MODAL_DRIVER_H
#define KOLM_TEST_MODAL_DRIVER_H

// Answers the modal windows that the code under test opens (message boxes,
// file dialogs, any QDialog) while the driver lives. Answers are queued in
// the order the windows are expected; each window that opens takes the next
// one. A window that finds no answer waiting is recorded as unanswered and
// rejected, so an unexpected box never hangs a test.
//
//     ModalDriver modal;
//     modal.press(QMessageBox::Discard).chooseFile(dir.filePath("a.kos"));
//     page.openFile();
//     QCOMPARE(modal.seen().size(), 2);
//     QCOMPARE(modal.unanswered(), 0);
//
// The driver polls from a timer, so it answers windows shown by exec() inside
// nested event loops as well as windows shown with open().

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <functional>

class ModalDriver
{
public:
    // One window the driver met: its kind ("box", "file" or "dialog"), its
    // title, and a box's text (a file dialog's accept label is left out).
    struct Seen
    {
        QString kind;
        QString title;
        QString text;
    };

    using Answer = std::function<void(QWidget *window)>;

    ModalDriver() { schedulePoll(); }

    ModalDriver(const ModalDriver &) = delete;
    ModalDriver &operator=(const ModalDriver &) = delete;

    // The next window is a message box: click its standard button.
    ModalDriver &press(QMessageBox::StandardButton button)
    {
        return then([this, button](QWidget *window) {
            auto *box = qobject_cast<QMessageBox *>(window);
            if (QAbstractButton *b = box ? box->button(button) : nullptr)
                return b->click();
            ++m_unanswered;
            reject(window);
        });
    }

    // The next window is a file dialog: select `path` and accept. In a
    // directory dialog `path` is the directory chosen.
    ModalDriver &chooseFile(const QString &path)
    {
        return then([this, path](QWidget *window) {
            auto *dialog = qobject_cast<QFileDialog *>(window);
            if (!dialog) {
                ++m_unanswered;
                return reject(window);
            }
            const QFileInfo info(path);
            if (dialog->fileMode() == QFileDialog::Directory) {
                dialog->setDirectory(info.absoluteFilePath());
                dialog->selectFile(info.absoluteFilePath());
            } else {
                dialog->setDirectory(info.absolutePath());
                dialog->selectFile(info.fileName());
            }
            // QFileDialog::accept() is protected; QDialog's is the same call.
            static_cast<QDialog *>(dialog)->accept();
        });
    }

    // The next window is rejected as by Escape.
    ModalDriver &cancel()
    {
        return then(&ModalDriver::reject);
    }

    // The next window gets `answer`; it may fill fields, click, close or
    // even delete objects of the test.
    ModalDriver &then(Answer answer)
    {
        m_answers.append(std::move(answer));
        return *this;
    }

    // Windows that `which` picks are left to the code under test: neither
    // recorded nor answered (a progress dialog that goes by itself when its
    // work is done).
    ModalDriver &passOver(std::function<bool(QWidget *window)> which)
    {
        m_passOver.append(std::move(which));
        return *this;
    }

    const QList<Seen> &seen() const { return m_seen; }
    // Windows that opened while no answer was queued, or that did not fit
    // the answer (a box without the button to press, a box where a file
    // dialog was expected); they were rejected.
    int unanswered() const { return m_unanswered; }
    // Answers still waiting for their window.
    int pending() const { return m_answers.size(); }

    // Runs the event loop until `count` windows were met or `timeoutMs` has
    // passed; true when they were.
    bool waitSeen(int count, int timeoutMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        while (m_seen.size() < count && clock.elapsed() < timeoutMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        return m_seen.size() >= count;
    }

private:
    // Closes a window as Escape would: a message box answers with its
    // escape button (Cancel, No, or its only button).
    static void reject(QWidget *window)
    {
        if (qobject_cast<QMessageBox *>(window) && window->close())
            return;
        if (auto *dialog = qobject_cast<QDialog *>(window))
            dialog->reject();
        else
            window->close();
    }

    static Seen describe(QWidget *window)
    {
        if (auto *box = qobject_cast<QMessageBox *>(window))
            return {QStringLiteral("box"), box->windowTitle(), box->text()};
        if (qobject_cast<QFileDialog *>(window))
            return {QStringLiteral("file"), window->windowTitle(), QString()};
        return {QStringLiteral("dialog"), window->windowTitle(), QString()};
    }

    // Each poll is a timer of its own, started before the poll answers: a
    // window that an answer opens (a file dialog's overwrite question) is
    // then polled from inside the answer's event loop.
    void schedulePoll()
    {
        QTimer::singleShot(5, &m_context, [this] { poll(); });
    }

    void poll()
    {
        schedulePoll();
        m_handled.erase(std::remove_if(m_handled.begin(), m_handled.end(),
                                       [](const QPointer<QWidget> &w) { return !w || !w->isVisible(); }),
                        m_handled.end());
        QWidget *window = QApplication::activeModalWidget();
        if (!window || !window->isVisible())
            return;
        for (const QPointer<QWidget> &done : qAsConst(m_handled))
            if (done == window)
                return;
        m_handled.append(window);
        for (const auto &which : qAsConst(m_passOver))
            if (which(window))
                return;
        // A dialog that finished may be shown again (a box reused by a second
        // exec()); it then counts as a new window.
        if (auto *dialog = qobject_cast<QDialog *>(window)) {
            QPointer<QWidget> finished(window);
            QObject::connect(dialog, &QDialog::finished, &m_context,
                             [this, finished] { m_handled.removeAll(finished); });
        }
        m_seen.append(describe(window));
        if (m_answers.isEmpty()) {
            ++m_unanswered;
            reject(window);
            return;
        }
        const Answer answer = m_answers.takeFirst();
        answer(window);
    }

    QObject m_context;
    QList<Answer> m_answers;
    QList<std::function<bool(QWidget *)>> m_passOver;
    QList<QPointer<QWidget>> m_handled;
    QList<Seen> m_seen;
    int m_unanswered = 0;
};

#endif
