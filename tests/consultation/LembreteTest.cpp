#include "CustomerScreen.h"
#include "Printers.h"
#include "consultation/uConsulta.h"
#include "data/OverdueReminder.h"
#include "data/Shop.h"
#include "data/uDM.h"
#include "platform/core/Query.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/RadioGroup.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QToolButton>

namespace {

// The reminder copied with F8 for the overdue row selected on the consultation. Its statements compare with
// the database's own date, so the clock stands on the real day.
class Reminder : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        clock.set(QDateTime(today, QTime(12, 0)));
        createUsers({{QStringLiteral("MASTER"), QStringLiteral("907438"), QStringLiteral("M")}});
        logInAs(QStringLiteral("MASTER"));
        customer(1, "JOÃO DA SILVA", "(11)91234-5678");
        customer(2, "BETO", QString());
        customer(3, "CARLA", "91234-5678");
        customer(4, "DANI", "(11)81234-5678");
        entry(1, 1, today.addDays(-40), "100,00", "Parc. 1 de 2");
        entry(2, 1, today.addDays(-10), "100,00", "Parc. 2 de 2");
        entry(3, 1, today.addDays(3), "50,00", "À Prazo"); // not yet due
        entry(4, 2, today.addDays(-1), "20,00", "À Prazo");
        entry(5, 3, today, "30,00", "À Prazo");
        entry(6, 4, today, "40,00", "À Prazo");
        Shop(DM->FDConnection1)
            .save({QStringLiteral("LOJA DO ZÉ"), QString(), QString(), QString(), QString(),
                   PixKeyKind::Email, QStringLiteral("Loja@Exemplo.com.br")});
        QGuiApplication::clipboard()->setText(QStringLiteral("antes"));
    }
    void customer(int code, const char* name, const QString& telephone) {
        sql(QStringLiteral("insert into TABCADCLI (CODIGO, NOME, TELEFONE) values (?, ?, ?)"),
            {code, QString::fromUtf8(name), telephone.isEmpty() ? QVariant() : QVariant(telephone)});
    }
    void entry(int code, int customer, const QDate& due, const char* value, const char* label) {
        sql(QStringLiteral("insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, VALOR, "
                           "DATA_VENC, STATUS_PAG, CONTA, PARCELA) values (?, ?, ?, 'TV 32', 1, ?, ?, 'NP', "
                           "'N', ?)"),
            {code, customer, today.addDays(-60),
             QVariant::fromValue(Currency::parse(QString::fromUtf8(value))), due, QString::fromUtf8(label)});
    }
    // Lists the overdue entries of everyone and selects the row of an entry.
    void listOverdueAndSelect(int code) {
        showActive(FConsulta);
        FConsulta->RadioGroup2->click(2);
        FConsulta->ComboBox1->setCurrentIndex(2);
        press(Qt::Key_F4);
        Query& q = *FConsulta->QConsulta;
        for (int i = 0; !q.rowAt(i).isEmpty(); ++i)
            if (q.rowAt(i).value(q.columnIndex(QStringLiteral("CODIGO"))).toInt() == code)
                q.moveTo(i);
        ASSERT_EQ(q.value(QStringLiteral("CODIGO")).toInt(), code);
    }
    static QString clipboard() { return QGuiApplication::clipboard()->text(); }

    QDate today = QDate::currentDate();
};

TEST_F(Reminder, CopiesTheCustomersOverdueEntriesWithAWhatsAppLink) {
    listOverdueAndSelect(2);
    EXPECT_EQ(FConsulta->BLembrete->text(), QStringLiteral("Lembrete [F8]"));
    press(Qt::Key_F8);
    const QString message = QStringLiteral("Olá, JOÃO DA SILVA!\n"
                                           "Constam em aberto as seguintes contas vencidas:\n"
                                           "- TV 32 (Parc. 1 de 2) - vencimento %1 - R$ 100,00\n"
                                           "- TV 32 (Parc. 2 de 2) - vencimento %2 - R$ 100,00\n"
                                           "Total: R$ 200,00\n"
                                           "PIX: loja@exemplo.com.br\n"
                                           "Se já pagou, por favor desconsidere esta mensagem.\n"
                                           "LOJA DO ZÉ")
                                .arg(today.addDays(-40).toString(QStringLiteral("dd/MM/yyyy")),
                                     today.addDays(-10).toString(QStringLiteral("dd/MM/yyyy")));
    EXPECT_EQ(clipboard(), message + QStringLiteral("\n\n") +
                               OverdueReminder::link(QStringLiteral("5511912345678"), message));
    EXPECT_EQ(messages.log(),
              QStringList{
                  QStringLiteral("plain|Brolavi|MENSAGEM COPIADA PARA A ÁREA DE TRANSFERÊNCIA, COM O LINK DO "
                                 "WHATSAPP")});
    EXPECT_TRUE(FConsulta->QConsulta->isOpen()) << "the listing stays";
}

TEST_F(Reminder, ACustomerWithoutAUsableTelephoneGetsTheMessageAloneAndAWarning) {
    const struct {
        int entry;
        const char* warning;
    } cases[] = {
        {4, "CLIENTE SEM TELEFONE: MENSAGEM COPIADA SEM O LINK DO WHATSAPP"},
        {5, "TELEFONE DO CLIENTE SEM DDD: MENSAGEM COPIADA SEM O LINK DO WHATSAPP"},
        {6, "TELEFONE DO CLIENTE INVÁLIDO: MENSAGEM COPIADA SEM O LINK DO WHATSAPP"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.entry);
        messages.clear();
        listOverdueAndSelect(c.entry);
        press(Qt::Key_F8);
        EXPECT_TRUE(clipboard().startsWith(QStringLiteral("Olá, ")));
        EXPECT_TRUE(clipboard().endsWith(QStringLiteral("LOJA DO ZÉ"))) << "no link after the message";
        EXPECT_FALSE(clipboard().contains(QStringLiteral("wa.me")));
        EXPECT_EQ(messages.log(),
                  QStringList{QStringLiteral("warning|AVISO !|") + QString::fromUtf8(c.warning)});
    }
}

TEST_F(Reminder, WantsTheOverdueListedAndARowSelected) {
    showActive(FConsulta);
    press(Qt::Key_F8); // nothing consulted
    FConsulta->ComboBox1->setCurrentIndex(2);
    press(Qt::Key_F4); // the unpaid, not the overdue
    press(Qt::Key_F8);
    FConsulta->RadioGroup2->click(2); // overdue chosen, not yet listed
    press(Qt::Key_F8);
    const QString refusal = QStringLiteral("warning|AVISO !|LISTE AS VENCIDAS E SELECIONE O CLIENTE");
    EXPECT_EQ(messages.log(), (QStringList{refusal, refusal, refusal}));
    EXPECT_EQ(clipboard(), QStringLiteral("antes"));

    // A row whose entries were all paid since it was listed.
    listOverdueAndSelect(4);
    sql(QStringLiteral("update TABDIVIDAS set STATUS_PAG = 'PG' where CLIENTE = 2"));
    messages.clear();
    press(Qt::Key_F8);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral(
                                  "warning|AVISO !|NENHUMA CONTA VENCIDA EM ABERTO PARA ESTE CLIENTE")});
    EXPECT_EQ(clipboard(), QStringLiteral("antes"));
}

} // namespace
