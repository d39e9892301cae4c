#include "platform/widgets/InputRules.h"

#include "platform/widgets/Messages.h"

#include <QComboBox>
#include <QLineEdit>
#include <QList>
#include <QProxyStyle>
#include <QRegularExpressionValidator>
#include <QStringList>

namespace {

constexpr char CaptionProperty[] = "brolaviCaption";

bool isControl(char32_t c) {
    return QChar::category(c) == QChar::Other_Control;
}

// Drops control characters and, for an upper-case field, turns letters into capitals, keeping the caret where
// it was among what is left.
class TextValidator : public QValidator {
public:
    TextValidator(QLineEdit* edit, bool upper)
        : QValidator(edit)
        , m_edit(edit)
        , m_upper(upper) {}

    State validate(QString& input, int& pos) const override {
        QString out;
        int caret = 0;
        for (qsizetype i = 0; i < input.size();) {
            const qsizetype width = input[i].isHighSurrogate() && i + 1 < input.size() ? 2 : 1;
            const QString ch = input.mid(i, width);
            if (!isControl(ch.toUcs4().value(0)))
                out += m_upper ? ch.toUpper() : ch;
            i += width;
            if (i <= pos)
                caret = int(out.size());
        }
        if (out == input)
            return Acceptable;
        if (m_upper && m_edit && out.size() > m_edit->maxLength()) {
            // A text the program puts there is shown as it is; one typed or pasted is refused.
            if (!m_edit->isModified())
                return Acceptable;
            refuse();
            return Invalid;
        }
        input = out;
        pos = caret;
        return Acceptable;
    }

private:
    // Said once the line edit has undone the change: a box opened in the middle of it would take the focus
    // while the edit holds a text it is about to drop.
    void refuse() const {
        if (m_refusing)
            return;
        m_refusing = true;
        QString caption = m_edit->property(CaptionProperty).toString();
        if (caption.isEmpty())
            caption = m_edit->property(InputRules::FieldNameProperty).toString().toUpper();
        const QString text =
            caption.isEmpty()
                ? QStringLiteral("O CAMPO ACEITA NO MÁXIMO %1 CARACTERES").arg(m_edit->maxLength())
                : QStringLiteral("O CAMPO %1 ACEITA NO MÁXIMO %2 CARACTERES")
                      .arg(caption)
                      .arg(m_edit->maxLength());
        QMetaObject::invokeMethod(
            const_cast<TextValidator*>(this),
            [this, text] {
                m_refusing = false;
                guarded([&text] { Messages::warning(text); });
            },
            Qt::QueuedConnection);
    }

    QLineEdit* m_edit;
    bool m_upper;
    mutable bool m_refusing = false;
};

// Password fields show "*", whatever the platform's style would show.
class AsteriskStyle : public QProxyStyle {
public:
    explicit AsteriskStyle(QObject* owner)
        : QProxyStyle() {
        setParent(owner);
    }
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter)
            return u'*';
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

namespace InputRules {

void upperCase(QLineEdit* edit, const QString& caption) {
    if (!caption.isEmpty())
        edit->setProperty(CaptionProperty, caption);
    edit->setValidator(new TextValidator(edit, true));
}

void noControls(QLineEdit* edit) {
    edit->setValidator(new TextValidator(edit, false));
}

QString withoutControls(const QString& text, bool keepLineBreaks) {
    QString out;
    out.reserve(text.size());
    for (const char32_t c : text.toUcs4())
        if (!isControl(c) || (keepLineBreaks && c == u'\n'))
            out += QString::fromUcs4(&c, 1);
    return out;
}

void password(QLineEdit* edit) {
    edit->setStyle(new AsteriskStyle(edit));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMaxLength(6);
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
}

void typedAsIs(QComboBox* combo) {
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
}

void money(QLineEdit* edit) {
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,]*")), edit));
}

QString qtInputMask(const QString& mask) {
    const QStringList parts = mask.split(u';');
    const QString pattern = parts.value(0);
    const QString blank = parts.value(2, QStringLiteral("_"));
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar ch = pattern[i];
        if (ch == u'\\' && i + 1 < pattern.size()) {
            const QChar lit = pattern[++i];
            if (QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\").contains(lit))
                out += u'\\';
            out += lit;
        } else if (ch == u'!') {
            continue; // trims leading blanks in the original notation; nothing to do here
        } else if (ch == u'9') {
            out += u'0'; // optional digit
        } else if (ch == u'0') {
            out += u'9'; // required digit
        } else if (QStringLiteral("AaNnXxDd#HhBb><{}[]").contains(ch)) {
            out += u'\\';
            out += ch;
        } else {
            out += ch;
        }
    }
    return out + u';' + blank.left(1);
}

void editMask(QLineEdit* edit, const QString& mask) {
    edit->setInputMask(qtInputMask(mask));
}

QString maskedText(const QLineEdit* edit) {
    if (!edit->inputMask().isEmpty()) {
        bool anything = false;
        for (QChar c : edit->displayText())
            anything = anything || c.isLetterOrNumber();
        if (!anything)
            return {};
    }
    return edit->text();
}

} // namespace InputRules
