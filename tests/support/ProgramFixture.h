#pragma once

#include "PrintingSeam.h"
#include "Seams.h"
#include "TestDatabase.h"
#include "app/AppBrolavi.h"
#include "platform/core/Clock.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <memory>

// The whole program as start-up builds it (data module and every screen, in order) on a fresh database, with
// the seams scripted and the clock frozen; all of it destroyed at the end of the test.
class ProgramFixture : public ::testing::Test {
protected:
    ProgramFixture() = default;
    // On a database made in another character set, as an older installation's.
    explicit ProgramFixture(const QString& characterSet)
        : db(characterSet) {}
    void SetUp() override { program = std::make_unique<AppBrolavi>(db.path()); }
    void TearDown() override { program.reset(); }

    // Shows a screen (not modally) as the active window, as the user would see it.
    static void showActive(QWidget* screen);
    // Runs a statement on the program's connection.
    int sql(const QString& statement, const QVariantList& params = {});
    QVariant sqlValue(const QString& statement, const QVariantList& params = {});
    // The users table as the login creates it, with the given (login, password, type) rows.
    void createUsers(const QVector<std::tuple<QString, QString, QString>>& users);
    // The program running under the first user (in code order) with this login, as after that user's login;
    // under nobody's record when no user has it.
    void logInAs(const QString& login);

    TestDatabase db;
    FixedClock clock{QDateTime(QDate(2025, 12, 9), QTime(14, 5, 33))};
    RecordingMessages messages;
    ScriptedModalHost modal;
    ScriptedFileDialogs files;
    RecordingPrinting printing;
    std::unique_ptr<AppBrolavi> program;
};
