#include "platform/widgets/FieldExits.h"

#include "platform/widgets/Messages.h"

#include <QFocusEvent>
#include <QScopedValueRollback>
#include <QWidget>

void FieldExits::watch(QWidget* control, std::function<void()> rule) {
    m_rules[control] = std::move(rule);
    control->installEventFilter(this);
}

void FieldExits::moveFocus(QWidget* control) {
    const QScopedValueRollback ownMove(m_ownMove, true);
    control->setFocus();
}

bool FieldExits::eventFilter(QObject* watched, QEvent* event) {
    const auto rule = m_rules.constFind(watched);
    if (rule == m_rules.constEnd())
        return false;
    if (event->type() == QEvent::FocusIn) {
        m_entered[watched] = true;
    } else if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool left = reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
                          m_entered.value(watched);
        if (left) {
            m_entered[watched] = false;
            if (!m_ownMove) {
                const std::function<void()> action = *rule;
                guarded(action);
            }
        }
    }
    return false;
}
