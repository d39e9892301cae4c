#include "platform/widgets/Form.h"

#include "platform/widgets/Messages.h"
#include "platform/widgets/ModalHost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

// Kept apart from the form so that a screen's own event filters see only the objects they watch.
class KeyPreview : public QObject {
public:
    explicit KeyPreview(Form* form)
        : QObject(form)
        , m_form(form) {}
    bool eventFilter(QObject* watched, QEvent* event) override { return m_form->previewKey(watched, event); }

private:
    Form* m_form;
};

Form::Form(const QString& title, Options options, QWidget* parent)
    : QDialog(parent)
    , m_options(options)
    , m_keyPreview(new KeyPreview(this)) {
    setWindowTitle(title);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    if (m_options.borderless)
        setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    if (m_options.borderless && m_options.titleStrip) {
        auto* strip = new QFrame(this);
        strip->setObjectName(QStringLiteral("TitleStrip"));
        strip->setStyleSheet(QStringLiteral("#TitleStrip { background: #12504f; }"
                                            "#TitleStrip QLabel { color: white; font-weight: bold; }"));
        auto* row = new QHBoxLayout(strip);
        row->setContentsMargins(10, 4, 4, 4);
        m_titleLabel = new QLabel(title, strip);
        m_closeButton = new QToolButton(strip);
        m_closeButton->setText(QStringLiteral("X"));
        m_closeButton->setFocusPolicy(Qt::NoFocus);
        m_closeButton->setFixedSize(28, 24);
        m_closeButton->setStyleSheet(QStringLiteral(
            "QToolButton { background: #c62828; color: white; font-weight: bold; border: none; }"
            "QToolButton:hover { background: #e53935; }"));
        connect(m_closeButton, &QToolButton::clicked, this, &QWidget::close);
        row->addWidget(m_titleLabel, 1);
        row->addWidget(m_closeButton);
        outer->addWidget(strip);
    }
    if (m_options.borderless)
        setStyleSheet(QStringLiteral("Form { border: 1px solid #0b3b3a; }"));
    m_body = new QWidget(this);
    outer->addWidget(m_body, 1);
}

void Form::addFunctionKey(int key, std::function<void()> action) {
    m_keys[key] = std::move(action);
}

int Form::showModal() {
    return ModalHost::show(this);
}

void Form::centre() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    if (!testAttribute(Qt::WA_Resized))
        adjustSize(); // a screen that set its own size keeps it
    move(area.center() - rect().center());
}

// A screen destroyed while shown would otherwise still filter the events its children send as they go.
Form::~Form() {
    qApp->removeEventFilter(m_keyPreview);
}

void Form::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (m_options.keyPreview)
        qApp->installEventFilter(m_keyPreview);
    if (m_options.borderless)
        centre();
    guarded([this] { FormShow(); });
}

void Form::hideEvent(QHideEvent* event) {
    qApp->removeEventFilter(m_keyPreview);
    QDialog::hideEvent(event);
}

void Form::closeEvent(QCloseEvent* event) {
    guarded([this] { FormClose(); });
    event->accept();
    QDialog::closeEvent(event);
}

void Form::keyPressEvent(QKeyEvent* event) {
    // Without key preview the form still answers its function keys when no control took them.
    if (!m_options.keyPreview && handleKey(this, event))
        return;
    // A screen closes by its "X" or its own buttons, never by Escape, and Enter presses no default button.
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool Form::previewKey(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    auto* key = static_cast<QKeyEvent*>(event);
    // A key travels up to the parents when the control ignores it: see it once, at the control with the
    // focus.
    const QWidget* focus = QApplication::focusWidget();
    if (w != focus && !(focus == nullptr && w == this))
        return false;
    if (w != this && !isAncestorOf(w))
        return false;
    return handleKey(w, key);
}

bool Form::handleKey(QWidget* receiver, QKeyEvent* event) {
    bool consumed = false;
    if (auto it = m_keys.find(event->key()); it != m_keys.end() && event->modifiers() == Qt::NoModifier) {
        const auto action = *it;
        guarded(action);
        return true;
    }
    guarded([&] { consumed = FormKeyDown(event); });
    if (consumed)
        return true;
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && m_options.enterMovesFocus && !m_keepEnter.contains(receiver))
        focusNextPrevChild(true); // the key still goes on to the control that had the focus
    return false;
}
