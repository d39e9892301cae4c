#pragma once

#include <QApplication>

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
};
