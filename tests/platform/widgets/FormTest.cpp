#include "platform/widgets/Form.h"
#include "Printers.h"
#include "Seams.h"
#include "platform/core/Errors.h"
#include "platform/widgets/InputRules.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A screen with three fields and a hidden button whose key still works.
class SampleForm : public Form {
public:
    explicit SampleForm(Options options)
        : Form(QStringLiteral("Amostra"), options) {
        auto* layout = new QVBoxLayout(body());
        for (QLineEdit** e : {&first, &second, &third}) {
            *e = new QLineEdit(body());
            layout->addWidget(*e);
        }
        hidden = new QPushButton(QStringLiteral("Novo [F4]"), body());
        hidden->hide();
        layout->addWidget(hidden);
        addFunctionKey(Qt::Key_F4, [this] { ++f4; });
        addFunctionKey(Qt::Key_F5, [] { throw BrolaviError(QStringLiteral("falhou aqui")); });
    }
    QLineEdit* first;
    QLineEdit* second;
    QLineEdit* third;
    QPushButton* hidden;
    int f4 = 0;
};

void showActive(QWidget* w) {
    w->show();
    QApplication::setActiveWindow(w);
    QCoreApplication::processEvents();
}

TEST(FormBase, SeesFunctionKeysFirstWhetherOrNotTheButtonIsShown) {
    RecordingMessages messages;
    SampleForm f({});
    showActive(&f);
    f.second->setFocus();
    QTest::keyClick(f.second, Qt::Key_F4);
    EXPECT_EQ(f.f4, 1);
    QTest::keyClick(f.second, Qt::Key_F5);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("standard-error|Brolavi|falhou aqui")})
        << "an error in a handler reaches the standard error box";
    EXPECT_TRUE(f.isVisible()) << "and the screen stays open";
    QTest::keyClick(f.second, Qt::Key_Escape);
    EXPECT_TRUE(f.isVisible()) << "Escape does not close a screen";
}

TEST(FormBase, EnterMovesTheFocusOnAndStillReachesTheControl) {
    SampleForm f({});
    f.keepEnter(f.third);
    showActive(&f);
    f.first->setFocus();
    QSignalSpy returned(f.first, &QLineEdit::returnPressed);
    QTest::keyClick(f.first, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.second);
    EXPECT_EQ(returned.count(), 1) << "the keystroke still reached the control that had the focus";
    QTest::keyClick(f.second, Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), f.third);
    QTest::keyClick(f.third, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.third) << "a control kept out of the rule";
}

TEST(FormBase, WithoutKeyPreviewTheControlsSeeKeysAndEnterStays) {
    SampleForm f({.borderless = false, .titleStrip = false, .keyPreview = false, .enterMovesFocus = false});
    showActive(&f);
    f.first->setFocus();
    QTest::keyClick(f.first, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), f.first);
    QTest::keyClick(f.first, Qt::Key_F4);
    EXPECT_EQ(f.f4, 1) << "a key no control takes still reaches the form";
    EXPECT_EQ(f.closeButton(), nullptr) << "a normal window has no title strip";
}

TEST(FormBase, TheRedXClosesTheScreen) {
    SampleForm f({});
    showActive(&f);
    ASSERT_NE(f.closeButton(), nullptr);
    EXPECT_EQ(f.closeButton()->text(), QStringLiteral("X"));
    f.closeButton()->click();
    EXPECT_FALSE(f.isVisible());
}

struct Typed {
    const char* rule;
    const char* keys;
    const char* text;
};

class InputRule : public ::testing::TestWithParam<Typed> {};

TEST_P(InputRule, KeepsOnlyWhatTheFieldTakes) {
    QLineEdit e;
    const QString rule = QString::fromUtf8(GetParam().rule);
    if (rule == u"upper")
        InputRules::upperCase(&e);
    else if (rule == u"password")
        InputRules::password(&e);
    else if (rule == u"money")
        InputRules::money(&e);
    else
        InputRules::editMask(&e, rule);
    e.show();
    e.setFocus();
    if (e.hasAcceptableInput() || !e.inputMask().isEmpty())
        e.home(false);
    QTest::keyClicks(&e, QString::fromUtf8(GetParam().keys));
    EXPECT_EQ(e.displayText(), QString::fromUtf8(GetParam().text)) << GetParam().keys;
}

INSTANTIATE_TEST_SUITE_P(Rules, InputRule,
                         ::testing::Values(Typed{"upper", "jose d'avila 12", "JOSE D'AVILA 12"},
                                           Typed{"password", "12ab3.4,5678", "******"},
                                           Typed{"password", "x", ""},
                                           Typed{"money", "R$ 1.234,56x", "1234,56"},
                                           Typed{"!\\(99\\)99999-9999;1;_", "11987654321", "(11)98765-4321"},
                                           Typed{"!\\(99\\)99999-9999;1;_", "119", "(11)9____-____"},
                                           Typed{"00000\\-999;1;_", "01310100", "01310-100"},
                                           Typed{"00000\\-999;1;_", "0131a", "0131_-___"}));

TEST(InputRules, UpperCaseAlsoTakesAccentsAndPastedText) {
    QLineEdit e;
    InputRules::upperCase(&e);
    e.setText(QStringLiteral("joão d'ávila"));
    EXPECT_EQ(e.text(), QStringLiteral("JOÃO D'ÁVILA"));
}

TEST(InputRules, TranslatesEditMasks) {
    EXPECT_EQ(InputRules::qtInputMask(QStringLiteral("!\\(99\\)99999-9999;1;_")),
              QStringLiteral("(00)00000-0000;_"));
    EXPECT_EQ(InputRules::qtInputMask(QStringLiteral("00000\\-999;1;_")), QStringLiteral("99999-000;_"));
}

} // namespace

namespace {

// The real box, answered by a key once it is up.
QMessageBox::StandardButton answerQuestionWith(Qt::Key key) {
    QTimer::singleShot(0, [key] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, key);
    });
    WidgetMessages real;
    return real.show({Messages::Kind::Question, QStringLiteral("Confirmação"),
                      QStringLiteral("Deseja Confirmar o Pagamento?"), QMessageBox::Question,
                      QMessageBox::Yes | QMessageBox::No});
}

TEST(Messages, EnterAnswersYesAndEscapeNo) {
    EXPECT_EQ(answerQuestionWith(Qt::Key_Return), QMessageBox::Yes);
    EXPECT_EQ(answerQuestionWith(Qt::Key_Escape), QMessageBox::No);
}

} // namespace
