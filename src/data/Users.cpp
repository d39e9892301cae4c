#include "data/Users.h"

#include "data/uDM.h"
#include "platform/core/Clock.h"
#include "platform/core/FilterExpression.h"
#include "platform/core/Query.h"

bool Users::currentIsMaster() {
    TableDataset& users = m_dm.TabUsuarios;
    users.open();
    return users.locate(QStringLiteral("LOGIN"), m_dm.currentLogin()) &&
           m_dm.TabUsuariosTIPO.asString() == QStringLiteral("M");
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
    // An exact match: a "%" in a login must not find another user's record.
    users.refilter(QStringLiteral("LOGIN =") + FilterExpression::quoted(m_dm.currentLogin()));
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
    m_dm.setCurrentLogin(m_dm.TabUsuariosLOGIN.asString());
}
