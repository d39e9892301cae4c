#pragma once

#include <QString>
#include <QStringList>
#include <random>

class QWidget;

// The keys, typing and clicks of a hurried user, drawn from a seeded generator so that a run repeats exactly.
class RandomUser {
public:
    explicit RandomUser(quint64 seed)
        : m_random(seed) {}

    // What one event may have done to the books, for the tally to look at.
    struct Event {
        QString text;         // for the log a failing seed prints
        bool confirm = false; // F5, Enter or a "Confirmar" button: the keys that store an item
    };

    // One event on the screen on top: a key to the focused control, text typed, a button or a grid row
    // clicked, the focus moved, or the screen closed.
    Event act(QWidget* screen);
    // One of the main screen's buttons.
    Event openScreen(QWidget* mainScreen);

    int below(int n) { return static_cast<int>(std::uniform_int_distribution<int>(0, n - 1)(m_random)); }
    bool chance(int percent) { return below(100) < percent; }

private:
    Event key(QWidget* screen);
    Event type(QWidget* screen);
    Event fillAndEnter(QWidget* screen);
    Event clickButton(QWidget* screen);
    Event clickGrid(QWidget* screen);
    Event moveFocus(QWidget* screen);
    QString someText();

    std::mt19937_64 m_random;
};
