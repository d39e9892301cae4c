#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// Runs a control's rule when the user leaves it for another control of the screen. A message box or another
// window taking the focus for a while is no leaving, and neither is a focus sent straight back before the
// next control had it. Each rule runs guarded.
class FieldExits : public QObject {
public:
    explicit FieldExits(QObject* parent)
        : QObject(parent) {}

    void watch(QWidget* control, std::function<void()> rule);
    // Puts the caret in a control without running the rule of the field it leaves (a screen moving the caret
    // itself, not the user leaving). Called from a rule, the caret stays there, not where the user was going.
    void moveFocus(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHash<QObject*, std::function<void()>> m_rules;
    QHash<QObject*, bool> m_entered;
    bool m_ownMove = false;
    QPointer<QWidget> m_chosen; // where the rule running put the caret
};
