#include "platform/widgets/ScreenParts.h"

#include "platform/core/Errors.h"
#include "platform/widgets/DataWidgets.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace ScreenParts {

QFrame* toolbar(QWidget* parent, QHBoxLayout*& row) {
    auto* strip = new QFrame(parent);
    strip->setObjectName(QStringLiteral("Toolbar"));
    strip->setStyleSheet(
        QStringLiteral("#Toolbar { background: #eef3f3; border-bottom: 1px solid #c5d3d3; }"
                       "QToolButton { padding: 4px 10px; font-weight: bold; color: #12504f; }"
                       "QToolButton:hover { background: #d9e7e6; border-radius: 3px; }"
                       "QToolButton:disabled { color: #9aa; }"));
    row = new QHBoxLayout(strip);
    row->setContentsMargins(6, 4, 6, 4);
    return strip;
}

QToolButton* toolButton(const QString& name, const QString& caption, QWidget* parent, int minimumHeight) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    b->setMinimumHeight(minimumHeight);
    return b;
}

int wholeNumber(const QString& typed) {
    bool ok = false;
    const int n = typed.trimmed().toInt(&ok);
    if (!ok)
        throw ConversionError::invalidValue(typed);
    return n;
}

DBText* totalRow(QWidget* parent, QBoxLayout* into, int minimumWidth) {
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    auto* label = new QLabel(QStringLiteral("Valor Total"), parent);
    label->setStyleSheet(QStringLiteral("font-weight: bold;"));
    auto* total = new DBText(parent);
    total->setObjectName(QStringLiteral("DBText2"));
    total->setMinimumWidth(minimumWidth);
    total->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    total->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold; color: #b71c1c;"));
    row->addWidget(label);
    row->addWidget(total);
    into->addLayout(row);
    return total;
}

} // namespace ScreenParts
