#include "ProgramFixture.h"

#include "data/uDM.h"

#include <QApplication>

void ProgramFixture::showActive(QWidget* screen) {
    screen->show();
    QApplication::setActiveWindow(screen);
    QCoreApplication::processEvents();
}

int ProgramFixture::sql(const QString& statement, const QVariantList& params) {
    return DM->FDConnection1.execute(statement, params);
}

QVariant ProgramFixture::sqlValue(const QString& statement, const QVariantList& params) {
    return DM->FDConnection1.selectValue(statement, params);
}

void ProgramFixture::createUsers(const QVector<std::tuple<QString, QString, QString>>& users) {
    sql(QStringLiteral("create table usuarios (Codigo Integer primary key, Data Date, Tipo VarChar(1), "
                       "Login VarChar(10), DATA_HORA_LOGIN VarChar(20),Nome VarChar(60), Senha varchar(6))"));
    int code = 0;
    for (const auto& [login, password, type] : users)
        sql(QStringLiteral("insert into usuarios (Codigo, Login, Senha, Tipo, Nome) values (?, ?, ?, ?, ?)"),
            {++code, login, password, type, login});
}

void ProgramFixture::logInAs(const QString& login) {
    const QVariant code = sqlValue(
        QStringLiteral("select first 1 Codigo from usuarios where Login = ? order by Codigo"), {login});
    DM->setCurrentUser(code.isNull() ? std::nullopt : std::optional<int>(code.toInt()), login);
}
