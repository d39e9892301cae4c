#pragma once

#include <QDialog>
#include <QHash>
#include <QSet>
#include <functional>

class QLabel;
class QToolButton;
class QVBoxLayout;

// The base of every screen. A screen is created once and shown modally (through ModalHost) as often as
// needed; closing hides it. Per screen: a borderless window centred on the desktop with a title strip and a
// red "X", or a normal window; whether the form sees keys before its controls; whether Enter moves the focus
// on (the keystroke still reaching the control that had it); and its function keys, which run whether or not
// their button is shown. Every handler runs guarded: an error no screen handles goes to the standard error
// box and the screen stays open.
class Form : public QDialog {
    Q_OBJECT
public:
    struct Options {
        bool borderless = true;
        bool titleStrip = true; // a borderless screen's strip with its title and red "X"
        bool keyPreview = true;
        bool enterMovesFocus = true;
    };

    Form(const QString& title, Options options, QWidget* parent = nullptr);
    ~Form() override;

    // Where the screen lays out its controls (below the title strip when borderless).
    QWidget* body() const { return m_body; }
    // The red "X" of the title strip; nullptr for a normal window.
    QToolButton* closeButton() const { return m_closeButton; }
    QLabel* titleLabel() const { return m_titleLabel; }

    // Runs the action when the key is pressed anywhere in the screen (when the form sees keys first).
    void addFunctionKey(int key, std::function<void()> action);
    // Enter in this control does not move the focus on.
    void keepEnter(QWidget* control) { m_keepEnter.insert(control); }

    // Shows the screen modally and returns when it has closed.
    int showModal();

protected:
public:
    // Binds the screen's data-aware controls to the data module, once it exists (screens created before it
    // must not touch the database while being created).
    virtual void bindData() {}

protected:
    // Hooks the screens override, each run guarded.
    virtual void FormShow() {}
    virtual void FormClose() {}
    // Sees every key pressed in the screen first (when keys are previewed); true consumes it.
    virtual bool FormKeyDown(QKeyEvent* /*event*/) { return false; }

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    friend class KeyPreview;
    // Sees the screen's keys before its controls, from the application's event stream.
    bool previewKey(QObject* watched, QEvent* event);
    bool handleKey(QWidget* receiver, QKeyEvent* event);
    void centre();

    Options m_options;
    QWidget* m_body = nullptr;
    QToolButton* m_closeButton = nullptr;
    QLabel* m_titleLabel = nullptr;
    QObject* m_keyPreview = nullptr;
    QHash<int, std::function<void()>> m_keys;
    QSet<QWidget*> m_keepEnter;
};
