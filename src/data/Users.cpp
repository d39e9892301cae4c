#include "data/Users.h"

#include "data/uDM.h"

bool Users::currentIsMaster() {
    TableDataset& users = m_dm.TabUsuarios;
    users.open();
    return users.locate(QStringLiteral("LOGIN"), m_dm.currentLogin()) &&
           m_dm.TabUsuariosTIPO.asString() == QStringLiteral("M");
}
