#include "platform/widgets/FieldExits.h"

#include "platform/widgets/Messages.h"

#include <QApplication>
#include <QFocusEvent>
#include <QScopedValueRollback>
#include <QWidget>

void FieldExits::watch(QWidget* control, std::function<void()> rule) {
    m_rules[control] = std::move(rule);
    control->installEventFilter(this);
}

void FieldExits::moveFocus(QWidget* control) {
    const QScopedValueRollback ownMove(m_ownMove, true);
    m_chosen = control;
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
                // The control the user was going to is already the focus widget while the field hears it is
                // left.
                const QPointer<QWidget> destination = QApplication::focusWidget();
                m_chosen = nullptr;
                const std::function<void()> action = *rule;
                guarded(action);
                const QPointer<QWidget> chosen = m_chosen;
                // A message box the rule showed leaves the screen inactive, and the focus change under way
                // then ends by making the destination the screen's focus again: the rule's choice is put back
                // after.
                if (chosen && destination && chosen != destination)
                    QMetaObject::invokeMethod(
                        this,
                        [this, chosen, destination] {
                            if (chosen && destination && chosen->window()->focusWidget() == destination)
                                moveFocus(chosen);
                        },
                        Qt::QueuedConnection);
            }
        }
    }
    return false;
}
