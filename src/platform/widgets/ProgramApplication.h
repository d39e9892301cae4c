#pragma once

#include <QApplication>
#include <optional>

// The program's QApplication: Brazilian Portuguese (locale and Qt's own translations, so standard buttons
// read "Sim", "Não"), Arial or its metric twin Liberation Sans, the wait cursor while the database works, and
// a last net under event delivery so that no exception unwinds through Qt.
class ProgramApplication : public QApplication {
    Q_OBJECT
public:
    ProgramApplication(int& argc, char** argv);
    ~ProgramApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

    // Locale, translations, font and the wait cursor, for any QApplication (tests use their own).
    static void setUp(QApplication& app);

    // SIGTERM, SIGINT and SIGHUP (a session ending, kill, Ctrl+C) end the run as closing the main screen
    // does: every event loop returns, the modal ones too, and the screens and the data module are then
    // destroyed as usual, so a unit of work still open rolls back and the database is detached.
    //
    // holdTerminationSignals() comes first in main, before any thread starts: the signals stay blocked in
    // every thread (the engine's included) and one thread of its own waits for them and hands them to the
    // event loop. endOnTerminationSignals() comes once the database has been opened, or has failed to open:
    // the embedded engine installs handlers of its own then (they shut the engine down under the program),
    // and they are put back as they were. A signal ignored when the program started stays ignored (nohup).
    static void holdTerminationSignals();
    void endOnTerminationSignals();
    // 128 + the number of the signal that ended the run, or nothing.
    std::optional<int> terminationStatus() const {
        return m_terminationStatus ? std::optional(m_terminationStatus) : std::nullopt;
    }

private:
    void terminationSignalArrived(int number);

    int m_terminationStatus = 0;
};
