#pragma once

#include <QString>

// The product's name, version and author lines as the screens show them.
namespace Branding {

inline const QString Version = QStringLiteral("Versão 2.0");
inline const QString Year = QStringLiteral("Ano: 2025");
inline const QString AuthorLine = QStringLiteral("Brolavi Sistemas · suporte@brolavi.com.br");
inline const QString ContactLine = QStringLiteral("Atendimento: (11) 4002-2025 · www.brolavi.com.br");
inline const QString StatusLine =
    QStringLiteral("Brolavi v.2.0 — vendas a prazo e à vista · Brolavi Sistemas");

} // namespace Branding
