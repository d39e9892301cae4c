#include "platform/widgets/InputRules.h"

#include <QComboBox>
#include <QLineEdit>
#include <QProxyStyle>
#include <QRegularExpressionValidator>
#include <QStringList>

namespace {

class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& /*pos*/) const override {
        input = input.toUpper();
        return Acceptable;
    }
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

void upperCase(QLineEdit* edit) {
    edit->setValidator(new UpperCaseValidator(edit));
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
