#include "TestDatabase.h"

#include "data/Schema.h"

#include <QFile>
#include <stdexcept>

namespace {

const QString& templatePath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(QStringLiteral("template.fdb"));
        Schema::createDatabase(p);
        return p;
    }();
    return path;
}

} // namespace

TestDatabase::TestDatabase() {
    m_path = m_dir.filePath(QStringLiteral("DBBROLAVI.FDB"));
    if (!QFile::copy(templatePath(), m_path))
        throw std::runtime_error("cannot copy the template database");
}
