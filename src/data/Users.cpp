#include "data/Users.h"

#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/Formats.h"
#include "platform/core/Query.h"

std::optional<QDateTime> Users::logIn(const QString& login, const QString& password) {
    const QVector<Row> found = m_dm.FDConnection1.select(
        QStringLiteral(
            "select first 1 Codigo, Login from usuarios where Login = ? and Senha = ? order by Codigo"),
        {login, password});
    if (found.isEmpty())
        return std::nullopt;
    const int code = found.front().value(0).toInt();
    // As stored: "MASTER " typed is the user "MASTER".
    const QString stored = found.front().value(1).toString();
    const QDateTime moment = Clock::now();
    m_dm.FDConnection1.execute(QStringLiteral("update Usuarios set DATA_HORA_LOGIN = ? where Codigo = ?"),
                               {moment.toString(Formats::ShortDate + u' ' + Formats::LongTime), code});
    m_dm.setCurrentUser(code, stored);
    return moment;
}

bool Users::currentIsMaster() {
    const std::optional<int> code = m_dm.currentUserCode();
    return code && m_dm.FDConnection1
                           .selectValue(QStringLiteral("select Tipo from usuarios where Codigo = ?"), {*code})
                           .toString() == QStringLiteral("M");
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
    m_dm.TabUsuarios.postTakingAFreeCode();
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
