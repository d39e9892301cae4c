#include "data/Users.h"

#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/Formats.h"
#include "platform/core/Query.h"

std::optional<QDateTime> Users::logIn(const QString& login, const QString& password) {
    Query q(m_dm.FDConnection1);
    q.setSql(QStringLiteral(
        "select Codigo, Login From usuarios Where Login = :nUsu and senha = :sPass order by Codigo"));
    q.setParam(QStringLiteral("nUsu"), login);
    q.setParam(QStringLiteral("sPass"), password);
    q.open();
    q.first();
    if (q.eof()) {
        q.close();
        return std::nullopt;
    }
    const int code = q.value(QStringLiteral("CODIGO")).toInt();
    // As stored: "MASTER " typed is the user "MASTER".
    const QString stored = q.value(QStringLiteral("LOGIN")).toString();
    q.close();
    const QDateTime moment = Clock::now();
    Query update(m_dm.FDConnection1);
    update.setSql(QStringLiteral("update Usuarios set DATA_HORA_LOGIN = :nDLogin Where Codigo = :nCod"));
    update.setParam(QStringLiteral("nDLogin"),
                    moment.toString(Formats::ShortDate + u' ' + Formats::LongTime));
    update.setParam(QStringLiteral("nCod"), code);
    update.execSql();
    m_dm.setCurrentUser(code, stored);
    return moment;
}

bool Users::currentIsMaster() {
    const std::optional<int> code = m_dm.currentUserCode();
    if (!code)
        return false;
    Query q(m_dm.FDConnection1);
    q.setSql(QStringLiteral("select Tipo from usuarios Where Codigo = :nCod"));
    q.setParam(QStringLiteral("nCod"), *code);
    q.open();
    q.first();
    const bool master = !q.eof() && q.value(QStringLiteral("TIPO")).toString() == QStringLiteral("M");
    q.close();
    return master;
}

int Users::nextCode() {
    m_dm.TabUsuarios.open();
    return m_dm.TabUsuarios.nextCode();
}

bool Users::taken(const QString& sql, const QString& param, const QString& value,
                  std::optional<int> exceptCode) {
    Query q(m_dm.FDConnection1);
    q.setSql(sql);
    q.setParam(param, value);
    q.open();
    bool found = false;
    for (q.first(); !q.eof() && !found; q.next())
        found = !exceptCode || q.value(QStringLiteral("CODIGO")).toInt() != *exceptCode;
    q.close();
    return found;
}

bool Users::nameTaken(const QString& name) {
    return taken(QStringLiteral("select * from usuarios Where Nome = :nUsu"), QStringLiteral("nUsu"), name,
                 std::nullopt);
}

bool Users::loginTaken(const QString& login, std::optional<int> exceptCode) {
    return taken(QStringLiteral("select * from usuarios Where Login = :nLogin"), QStringLiteral("nLogin"),
                 login, exceptCode);
}

bool Users::nameReserved(const QString& name, int code) {
    QStringView stripped(name);
    while (stripped.endsWith(u' '))
        stripped.chop(1);
    return code != MasterCode && stripped == MasterName;
}

bool Users::currentIsSeededMaster() const {
    return m_dm.TabUsuariosNOME.asString() == MasterName;
}

void Users::saveCurrent(const QString& type, const QString& password) {
    m_dm.TabUsuariosTIPO.setValue(type);
    m_dm.TabUsuariosSENHA.setValue(password);
    m_dm.TabUsuariosDATA.setValue(Clock::today());
    m_dm.TabUsuarios.post();
}

bool Users::showCurrentOnly() {
    TableDataset& users = m_dm.TabUsuarios;
    users.open();
    // By the code, not the login, which an older file may give two users. No user has code 0: the login
    // seeds code 1 and each new user gets the highest plus one.
    const int code = m_dm.currentUserCode().value_or(0);
    users.refilter(QStringLiteral("Codigo =") + FilterExpression::quoted(QString::number(code)));
    users.first();
    return !users.isEmpty();
}

void Users::changeCredentials(int code, const QString& login, const QString& password) {
    TableDataset& users = m_dm.TabUsuarios;
    users.open();
    users.refilter(QStringLiteral("Codigo =") + FilterExpression::quoted(QString::number(code)));
    users.first();
    try {
        users.edit();
        m_dm.TabUsuariosLOGIN.setValue(login);
        m_dm.TabUsuariosSENHA.setValue(password);
        users.post();
    } catch (...) {
        users.cancel();
        throw;
    }
    m_dm.setCurrentUser(code, m_dm.TabUsuariosLOGIN.asString());
}
