#pragma once

#include "ProgramFixture.h"

#include <QApplication>
#include <QTest>

// The program with a few helpers for driving its screens from the keyboard.
class ScreenTest : public ProgramFixture {
protected:
    // A key as the user presses it: to the control that has the focus.
    static void press(int key) {
        QWidget* target =
            QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        QTest::keyClick(target, Qt::Key(key));
    }
    static void type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }

    void addCustomer(int code, const QString& name, const QVariant& cpf = {}) {
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME, CPF) values (?, ?, ?)"), {code, name, cpf});
    }
    int count(const QString& table) {
        return sqlValue(QStringLiteral("select count(*) from ") + table).toInt();
    }
};
