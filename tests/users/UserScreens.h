#pragma once

#include "ProgramFixture.h"
#include "data/uDM.h"
#include "platform/widgets/DBGrid.h"
#include "users/uTrocaSenha.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>

// The program with a users table of a few users and one of them logged in, and helpers for driving the
// users' screens as a user does.
class UserScreens : public ProgramFixture {
protected:
    // MASTER (code 1, the seeded master), ANA (normal), CHEFE (another master); each named after their login.
    void SetUp() override {
        ProgramFixture::SetUp();
        createUsers({{QStringLiteral("MASTER"), QStringLiteral("907438"), QStringLiteral("M")},
                     {QStringLiteral("ANA"), QStringLiteral("111111"), QStringLiteral("N")},
                     {QStringLiteral("CHEFE"), QStringLiteral("222222"), QStringLiteral("M")}});
        logInAs(QStringLiteral("MASTER"));
    }

    // A key as the user presses it: to the control that has the focus.
    static void press(int key) {
        QWidget* target =
            QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QTest::keyClick(target, Qt::Key(key));
    }
    // Typed key by key; a letter with no key of its own (Ã) arrives as its text, as a keyboard layout sends
    // it.
    static void type(const QString& text) {
        for (QChar c : text) {
            QWidget* w = QApplication::focusWidget();
            if (c.unicode() < 0x80)
                QTest::keyClick(w, c.toLatin1());
            else
                QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    // On the change of login and password: the new password typed in both fields, then saved.
    static void typeNewPasswordAndSave(const QString& password) {
        for (QLineEdit* field : {FTrocaSenha->Edit1, FTrocaSenha->Edit2}) {
            field->setFocus();
            field->selectAll();
            type(password);
        }
        press(Qt::Key_F5);
    }
    static void clickRow(DBGrid* grid, int row) {
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, 1)).center());
    }

    // Every user as "code|name|login|password|type|date", in code order.
    QStringList users() {
        const QString list =
            sqlValue(QStringLiteral("select list(Codigo || '|' || coalesce(Nome, '-') || '|' || "
                                    "coalesce(Login, '-') || '|' || coalesce(Senha, '-') || '|' || "
                                    "coalesce(Tipo, '-') || '|' || coalesce(cast(Data as varchar(10)), '-'), "
                                    "';') from (select * from usuarios order by Codigo)"))
                .toString();
        return list.split(u';');
    }
    QString user(int code) { return users().value(code - 1); }
};
