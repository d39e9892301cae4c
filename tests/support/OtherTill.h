#pragma once

#include "platform/core/Connection.h"

#include <functional>
#include <utility>

// Another till acting at the same moment as this one: the action runs once, just before the statement number
// `at` (1 for the next one) that this till sends from now on, so inside a unit of work it comes after the
// unit's snapshot was taken. The action's own statements are not counted.
class AtStatement {
public:
    AtStatement(int at, std::function<void()> action)
        : m_saved(Connection::busyHook())
        , m_left(at)
        , m_action(std::move(action)) {
        Connection::setBusyHook([this](bool busy) {
            if (m_saved)
                m_saved(busy);
            if (!busy || !m_action || --m_left > 0)
                return;
            const std::function<void()> now = std::exchange(m_action, {});
            now();
        });
    }
    ~AtStatement() { Connection::setBusyHook(m_saved); }
    AtStatement(const AtStatement&) = delete;
    AtStatement& operator=(const AtStatement&) = delete;

    // Whether the action ran (the till sent that many statements).
    bool ran() const { return !m_action; }

private:
    std::function<void(bool)> m_saved;
    int m_left;
    std::function<void()> m_action;
};
