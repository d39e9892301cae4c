#include "CustomerScreen.h"
#include "Printers.h"
#include "ReportFit.h"
#include "app/uBrolavi.h"
#include "consultation/uConsulta.h"
#include "credit/uCompras.h"
#include "customers/uPesquisaCli.h"
#include "data/uDM.h"
#include "platform/core/Query.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataWidgets.h"
#include "platform/widgets/RadioGroup.h"
#include "reports/TextMetrics.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

namespace {

// The consultation over a few customers and entries. Its statements compare with the database's own date,
// so the clock stands on the real day.
class Consultation : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        clock.set(QDateTime(today, QTime(12, 0)));
        createUsers({{QStringLiteral("MASTER"), QStringLiteral("907438"), QStringLiteral("M")},
                     {QStringLiteral("ANA"), QStringLiteral("111111"), QStringLiteral("N")}});
        logInAs(QStringLiteral("MASTER"));
        addCustomer(1, QStringLiteral("ANA"));
        addCustomer(2, QStringLiteral("BETO"));
        // code, customer, sale day, due day, paid at
        entry(1, 1, today.addDays(-40), today.addDays(-10), QDateTime(today, QTime(9, 0))); // paid late
        entry(2, 2, today.addDays(-40), today.addDays(5), QDateTime(today, QTime(10, 0)));  // paid in time
        entry(3, 1, today, today, {});                                                      // due today
        entry(4, 2, today, today.addDays(1), {});                                           // due tomorrow
        entry(5, 1, today.addDays(-3), today.addDays(20), {});
        line(1, 1, today, 4, "CAMISA", "30,00");
        line(2, 1, today, 3, "MEIA", "5,50");
        line(3, 1, today.addDays(-3), 5, "CINTO", "12,00");
    }
    void entry(int code, int customer, const QDate& sold, const QDate& due, const QDateTime& paidAt) {
        sql(QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, VALOR_UN, VALOR, "
                "DATA_VENC, DATA_PAG, STATUS_PAG, CONTA, PARCELA) values (?, ?, ?, ?, 1, ?, ?, ?, ?, ?, "
                "'N', 'À Prazo')"),
            {code, customer, sold, QStringLiteral("ITEM %1").arg(code),
             QVariant::fromValue(Currency::fromUnits(code)), QVariant::fromValue(Currency::fromUnits(code)),
             due, paidAt.isValid() ? QVariant(paidAt) : QVariant(),
             paidAt.isValid() ? QStringLiteral("PG") : QStringLiteral("NP")});
    }
    void line(int code, int customer, const QDate& day, int sale, const char* description,
              const char* value) {
        sql(QStringLiteral("insert into TABDESC_COMPRAS (CODIGO, CLIENTE, DATA, DESCRICAO, VALOR, VALOR_UN, "
                           "QUANTIDADE, STATUS, COD_VENDA) values (?, ?, ?, ?, ?, ?, 1, 'À Prazo', ?)"),
            {code, customer, day, QString::fromUtf8(description),
             QVariant::fromValue(Currency::parse(QString::fromUtf8(value))),
             QVariant::fromValue(Currency::parse(QString::fromUtf8(value))), sale});
    }
    void open() { showActive(FConsulta); }
    // The codes the grid lists, top to bottom.
    QList<int> listed() {
        QList<int> codes;
        Query& q = *FConsulta->QConsulta;
        for (int i = 0; q.isOpen() && !q.rowAt(i).isEmpty(); ++i)
            codes << q.rowAt(i).value(q.columnIndex(QStringLiteral("CODIGO"))).toInt();
        return codes;
    }
    void choose(int kind, int period) {
        FConsulta->RadioGroup2->click(kind);
        FConsulta->ComboBox1->setCurrentIndex(period);
    }
    void pickCustomer(const QString& name) {
        modal.onShow(QStringLiteral("FPesquisaCli"), [name](QDialog*) {
            ASSERT_TRUE(DM->TabCadCli.locate(QStringLiteral("NOME"), name));
            FPesquisaCli->DBGrid1DblClick();
        });
        press(Qt::Key_F2);
    }

    QDate today = QDate::currentDate();
};

TEST_F(Consultation, OpensFromTheMainScreenOnTodaysUnpaidEntriesOfEveryone) {
    modal.onShow(QStringLiteral("FConsulta"), [this](QDialog*) {
        EXPECT_EQ(FConsulta->RadioGroup1->itemIndex(), 0);
        EXPECT_EQ(FConsulta->RadioGroup2->itemIndex(), 0);
        EXPECT_EQ(FConsulta->ComboBox1->currentText(), QStringLiteral("Hoje"));
        for (QDateEdit* picker : {FConsulta->DateTimePicker1, FConsulta->DateTimePicker2}) {
            EXPECT_EQ(picker->date(), today);
            EXPECT_FALSE(picker->isEnabled());
        }
        EXPECT_FALSE(FConsulta->BPesquisar->isVisible());
        EXPECT_FALSE(FConsulta->Label3->isVisible());
        EXPECT_EQ(FConsulta->DBGrid1->model()->rowCount(), 0);
        EXPECT_TRUE(FConsulta->DBText2->text().isEmpty());
        press(Qt::Key_F4);
        EXPECT_EQ(listed(), (QList<int>{4, 3}));
        EXPECT_EQ(FConsulta->DBText2->text(), QStringLiteral("R$ 7,00"));
    });
    TelaInicial->BConsultar->click();
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("FConsulta")});
    EXPECT_FALSE(FConsulta->QConsulta->isOpen()) << "closing the screen closes the consultation";
}

TEST_F(Consultation, PaintsLatePaymentsAndDueEntriesRedAndTheOthersGreenOrBlue) {
    open();
    choose(1, 2); // paid, all time
    press(Qt::Key_F4);
    ASSERT_EQ(listed(), (QList<int>{2, 1}));
    DBGrid* grid = FConsulta->DBGrid1;
    EXPECT_EQ(grid->cellTextColor(0, 1), QColor(Qt::darkGreen)) << "paid before it was due";
    EXPECT_EQ(grid->cellTextColor(1, 1), QColor(Qt::red)) << "paid after its due day";
    EXPECT_EQ(grid->cellText(1, 9),
              QLocale().toString(QDateTime(today, QTime(9, 0)), QStringLiteral("dd/MM/yyyy HH:mm:ss")));
    EXPECT_EQ(FConsulta->DBText2->text(), QStringLiteral("R$ 3,00"));
    choose(0, 2); // unpaid, all time
    press(Qt::Key_F4);
    ASSERT_EQ(listed(), (QList<int>{5, 4, 3}));
    EXPECT_EQ(grid->cellTextColor(1, 1), QColor(Qt::blue)) << "due tomorrow";
    EXPECT_EQ(grid->cellTextColor(2, 1), QColor(Qt::red)) << "due today, from midnight on";
    EXPECT_EQ(grid->cellText(2, 1), QStringLiteral("ANA"));
    EXPECT_EQ(grid->cellText(2, 7), QStringLiteral("R$ 3,00"));
}

TEST_F(Consultation, AReversedRangeWarnsAndShowsAgainWhatWasHeld) {
    sql(QStringLiteral("update TABDIVIDAS set DATA = dateadd(CODIGO day to DATA) where CODIGO in (1, 2)"));
    open();
    choose(0, 3);
    EXPECT_TRUE(FConsulta->DateTimePicker1->isEnabled());
    FConsulta->DateTimePicker1->setDate(today);
    FConsulta->DateTimePicker2->setDate(today.addDays(-1));
    press(Qt::Key_F4);
    EXPECT_EQ(messages.log(),
              QStringList{QStringLiteral(
                  "warning|AVISO !|INTERVALO DE DATAS INVÁLIDO, A DATA INICIAL É MAIOR QUE A DATA FINAL!")});
    EXPECT_EQ(FConsulta->DateTimePicker1->date(), today);
    EXPECT_EQ(FConsulta->DateTimePicker2->date(), today);
    EXPECT_EQ(listed(), (QList<int>{3, 4, 5, 2, 1}))
        << "before any consultation: the whole ledger by sale day";

    FConsulta->DateTimePicker1->setDate(today.addDays(-3));
    press(Qt::Key_F4);
    EXPECT_EQ(listed(), (QList<int>{5, 4, 3})) << "both days included";
    EXPECT_EQ(FConsulta->Inicio, today.addDays(-3).toString(QStringLiteral("dd/MM/yyyy")));
    FConsulta->DateTimePicker1->setDate(today.addDays(1));
    press(Qt::Key_F4);
    EXPECT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(listed(), (QList<int>{5, 4, 3})) << "the last consultation again";
    EXPECT_FALSE(DM->TabDividas.isOpen());

    // The rows shown again are not a consultation to delete from.
    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7);
    EXPECT_EQ(messages.log().last(), QStringLiteral("warning|AVISO !|BANCO DE DADOS VAZIO"));
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 5);
    EXPECT_EQ(listed(), (QList<int>{5, 4, 3}));
}

TEST_F(Consultation, AMasterDeletesTheSelectedEntryWithItsPurchaseLine) {
    open();
    EXPECT_TRUE(FConsulta->Panel6->isVisible());
    press(Qt::Key_F7);
    EXPECT_EQ(messages.log(), QStringList{QStringLiteral("warning|AVISO !|BANCO DE DADOS VAZIO")})
        << "nothing consulted, nothing to delete";
    choose(0, 2);
    press(Qt::Key_F4);
    FConsulta->DBGrid1->setFocus();
    press(Qt::Key_Down);
    press(Qt::Key_Down); // ANA's entry 3, whose line is MEIA (CAMISA names entry 4 but is ANA's, not BETO's)
    messages.answers.enqueue(QMessageBox::Yes);
    FConsulta->BExcluir->click();
    EXPECT_EQ(messages.shown.last().text, QStringLiteral("Deseja Realmente Excluir?"));
    EXPECT_EQ(listed(), (QList<int>{5, 4})) << "consulted again";
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 4);
    EXPECT_EQ(sqlValue(QStringLiteral("select list(CODIGO) from TABDESC_COMPRAS")).toString(),
              QStringLiteral("1,3"));

    entry(6, 2, today, today, {}); // sold meanwhile
    messages.answers.enqueue(QMessageBox::No);
    press(Qt::Key_F7);
    EXPECT_EQ(listed(), (QList<int>{6, 5, 4})) << "No consults again too";
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), 5);
}

struct UserCase {
    const char* login;
    bool deletes;
};

class ConsultationUser : public Consultation, public ::testing::WithParamInterface<UserCase> {};

TEST_P(ConsultationUser, OnlyAMasterSeesAndUsesTheDelete) {
    logInAs(QString::fromUtf8(GetParam().login));
    open();
    EXPECT_EQ(FConsulta->Panel6->isVisible(), GetParam().deletes);
    press(Qt::Key_F4);
    messages.answers.enqueue(QMessageBox::Yes);
    press(Qt::Key_F7);
    EXPECT_EQ(count(QStringLiteral("TABDIVIDAS")), GetParam().deletes ? 4 : 5);
}

INSTANTIATE_TEST_SUITE_P(Users, ConsultationUser,
                         ::testing::Values(UserCase{"MASTER", true}, UserCase{"ANA", false},
                                           UserCase{"NINGUEM", false}));

TEST_F(Consultation, OneCustomerIsPickedWithF2OnlyWhileNomeIsChosen) {
    open();
    press(Qt::Key_F2);
    EXPECT_TRUE(modal.shown.isEmpty()) << "F2 does nothing for every customer";
    FConsulta->RadioGroup1->click(1);
    EXPECT_TRUE(FConsulta->BPesquisar->isVisible());
    EXPECT_EQ(FConsulta->BPesquisar->text(), QStringLiteral("Pesquisar\nClientes [F2]"));
    choose(0, 2);
    pickCustomer(QStringLiteral("BETO"));
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("FPesquisaCli")});
    EXPECT_TRUE(FConsulta->Label3->isVisible());
    EXPECT_EQ(FConsulta->DBText1->text(), QStringLiteral("BETO"));
    press(Qt::Key_F4);
    EXPECT_EQ(listed(), QList<int>{4});
    FConsulta->RadioGroup1->click(0);
    EXPECT_FALSE(FConsulta->Label3->isVisible());
    EXPECT_FALSE(FConsulta->QConsulta->isOpen());
}

TEST_F(Consultation, F11ShowsThePurchasesOfTheSelectedRowsCustomerAndDay) {
    open();
    press(Qt::Key_F11);
    EXPECT_TRUE(modal.shown.isEmpty()) << "no row, no purchases";
    press(Qt::Key_F4);
    ASSERT_EQ(listed(), (QList<int>{4, 3}));
    FConsulta->DBGrid1->setFocus();
    press(Qt::Key_Down); // ANA's entry of today
    modal.onShow(QStringLiteral("FCompras"), [](QDialog*) {
        EXPECT_EQ(FCompras->DBText1->text(), QStringLiteral("ANA"));
        ASSERT_EQ(FCompras->DBGrid1->model()->rowCount(), 2) << "both of today's sales, not the older one";
        EXPECT_EQ(FCompras->DBGrid1->cellText(0, 1), QStringLiteral("CAMISA"));
        EXPECT_EQ(FCompras->DBText2->text(), QStringLiteral("R$ 35,50"));
    });
    press(Qt::Key_F11);
    EXPECT_EQ(modal.shown, QStringList{QStringLiteral("FCompras")});
    EXPECT_EQ(listed(), (QList<int>{4, 3})) << "the consultation stays as it was";
}

// The consultation printed with F10; the pages are read as the preview would show them.
class CashFlowPrint : public Consultation {
protected:
    void SetUp() override {
        Consultation::SetUp();
        open();
    }
    QString printed(const QString& object) const {
        const Report::Item* i = printing.last().first(object);
        return i ? i->text : QStringLiteral("<none>");
    }
    QString headline() const {
        QStringList parts;
        for (const char* o : {"Memo3", "Memo19", "Memo16", "Memo17", "Memo18"})
            parts << printed(QString::fromLatin1(o));
        return parts.join(u'|');
    }
};

TEST_F(CashFlowPrint, F10DoesNothingWhileTheConsultationIsClosed) {
    press(Qt::Key_F10);
    press(Qt::Key_F4);
    choose(1, 0); // the kind changed: closed again
    press(Qt::Key_F10);
    press(Qt::Key_F4);
    FConsulta->RadioGroup1->click(1);
    pickCustomer(QStringLiteral("ANA"));
    press(Qt::Key_F10);

    EXPECT_TRUE(printing.shown.isEmpty());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(CashFlowPrint, TheHeadlineNamesTheKindThePeriodAndTheCustomerChosenWhenPrinting) {
    const QString from = today.addDays(-30).toString(QStringLiteral("dd/MM/yyyy"));
    const QString to = today.toString(QStringLiteral("dd/MM/yyyy"));
    const QString month = QLocale().toString(today, QStringLiteral("MMMM/yy")).toUpper();
    struct Case {
        bool one;
        int kind;
        int period;
        QString expected;
    };
    const Case cases[] = {
        {false, 0, 0, QStringLiteral("NÃO PAGAS||HOJE||")},
        {false, 1, 1, QStringLiteral("PAGAS||%1||").arg(month)},
        {false, 2, 2, QStringLiteral("VENCIDAS||TODO O PERÍODO||")},
        {false, 0, 3, QStringLiteral("NÃO PAGAS||%1|Até|%2").arg(from, to)},
        {true, 1, 0, QStringLiteral("PAGAS|BETO|HOJE||")},
        {true, 2, 3, QStringLiteral("VENCIDAS|BETO|%1|Até|%2").arg(from, to)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected.toStdString());
        FConsulta->RadioGroup1->click(c.one ? 1 : 0);
        if (c.one) {
            pickCustomer(QStringLiteral("BETO"));
            showActive(FConsulta);
        }
        choose(c.kind, c.period);
        FConsulta->DateTimePicker1->setDate(today.addDays(-30));
        FConsulta->DateTimePicker2->setDate(today);
        FConsulta->BConsultar->click();
        FConsulta->BImprimir->click();
        EXPECT_EQ(headline(), c.expected);
        EXPECT_EQ(printed(QStringLiteral("Date")), to);
    }

    // After consulting, new dates and the scope "Nome" print over the rows already listed.
    FConsulta->RadioGroup1->click(0);
    choose(0, 3);
    press(Qt::Key_F4);
    const qsizetype rows = printing.shown.size();
    FConsulta->DateTimePicker1->setDate(QDate(2024, 2, 1));
    FConsulta->RadioGroup1->click(1);
    press(Qt::Key_F10);
    ASSERT_EQ(printing.shown.size(), rows + 1);
    EXPECT_EQ(headline(), QStringLiteral("NÃO PAGAS|BETO|01/02/2024|Até|%1").arg(to));
    EXPECT_EQ(printing.last().itemsOf(QStringLiteral("DBRelatorioDESCRICAO")).size(), listed().size());
}

TEST_F(CashFlowPrint, ACustomerNameWithBracketsPrintsAsItStands) {
    addCustomer(3, QStringLiteral("CAIO [Date] [PAGE]"));
    entry(6, 3, today, today, {});
    DM->TabCadCli.refresh();
    FConsulta->RadioGroup1->click(1);
    pickCustomer(QStringLiteral("CAIO [Date] [PAGE]"));
    showActive(FConsulta);
    FConsulta->BConsultar->click();
    ASSERT_EQ(listed(), QList<int>{6});
    FConsulta->BImprimir->click();
    EXPECT_EQ(messages.log(), QStringList());
    ASSERT_EQ(printing.shown.size(), 1);
    EXPECT_EQ(printed(QStringLiteral("Memo19")), QStringLiteral("CAIO [Date] [PAGE]"));
}

TEST_F(CashFlowPrint, TheCurrentMonthPrintsItsPortugueseNameAndYear) {
    choose(0, 1);
    press(Qt::Key_F4);
    clock.set(QDateTime(QDate(2026, 3, 2), QTime(10, 0)));
    press(Qt::Key_F10);
    EXPECT_EQ(printed(QStringLiteral("Memo16")), QStringLiteral("MARÇO/26"));
    EXPECT_EQ(printed(QStringLiteral("Date")), QStringLiteral("02/03/2026"));
    clock.set(QDateTime(QDate(2025, 12, 31), QTime(23, 59)));
    press(Qt::Key_F10);
    EXPECT_EQ(printed(QStringLiteral("Memo16")), QStringLiteral("DEZEMBRO/25"));
}

TEST_F(CashFlowPrint, TheTotalOverSeveralPagesIsTheScreensAndALongDescriptionMakesOnlyItsRowTaller) {
    for (int code = 10; code < 70; ++code)
        entry(code, 1 + code % 2, today, today.addDays(3), {});
    const QString longText = QStringLiteral("CAMISA DE ALGODÃO COM ESTAMPA, TAMANHO GG, COR AZUL-MARINHO, "
                                            "DUAS UNIDADES PARA TROCA NA PRÓXIMA SEMANA SE NÃO SERVIREM BEM");
    sql(QStringLiteral("update TABDIVIDAS set DESCRICAO = ? where CODIGO = 40"), {longText});
    press(Qt::Key_F4);
    press(Qt::Key_F10);

    const Report::Prepared& r = printing.last();
    EXPECT_GE(r.pages.size(), 3);
    QStringList expected;
    for (int code : listed())
        expected << (code == 40 ? longText : QStringLiteral("ITEM %1").arg(code));
    QStringList descriptions;
    for (const Report::Item* i : r.itemsOf(QStringLiteral("DBRelatorioDESCRICAO")))
        descriptions << i->text;
    EXPECT_EQ(descriptions, expected);
    const QVector<const Report::Item*> totals = r.itemsOf(QStringLiteral("DBRelatorioSoma"));
    ASSERT_EQ(totals.size(), 1);
    EXPECT_EQ(totals[0]->text, FConsulta->DBText2->text());
    EXPECT_EQ(r.pages.last().itemsOf(QStringLiteral("DBRelatorioSoma")).size(), 1);
    for (qsizetype p = 0; p < r.pages.size(); ++p)
        EXPECT_EQ(r.pages[p].itemsOf(QStringLiteral("Page"))[0]->text, QString::number(p + 1));

    // The long description's row, and only it, grows; the row's other texts keep their height.
    const int longRow = int(descriptions.indexOf(longText));
    ASSERT_GE(longRow, 0);
    const Report::Item* description = r.itemsOf(QStringLiteral("DBRelatorioDESCRICAO"))[longRow];
    EXPECT_EQ(description->text, longText);
    EXPECT_GE(description->lines.size(), 3);
    int tall = 0;
    for (const Report::Page& page : r.pages)
        for (const Report::Item* frame : page.framesOf(QStringLiteral("MasterData1")))
            tall += frame->rect.height() > 9 + 1e-6 ? 1 : 0;
    EXPECT_EQ(tall, 1);
    EXPECT_DOUBLE_EQ(r.itemsOf(QStringLiteral("DBRelatorioNOME"))[longRow]->rect.height(), 7);
    EXPECT_DOUBLE_EQ(r.itemsOf(QStringLiteral("DBRelatorioVALOR"))[longRow]->rect.height(), 7);
}

TEST_F(CashFlowPrint, MoneyAndPaymentTimesPrintWholeUpToTheMostAMoneyFieldTakes) {
    // Paid rows, each with its unit value, value and time of payment.
    struct Case {
        const char* unit;
        const char* value;
        QTime paidAt;
        bool fullSize; // printed in the column's own type, not made smaller to fit
    };
    const Case cases[] = {
        {"12990,00", "12990,00", QTime(15, 5, 9), true},
        {"149990,00", "149990,00", QTime(23, 59, 59), true},
        {"12345678,90", "12345678,90", QTime(15, 5, 0), true},
        {"99999999,99", "99999999,99", QTime(8, 8, 8), true},
        {"99999999,99", "-99999999,99", QTime(18, 48, 28), true}, // a balance left below zero
        // The most a money field takes: the program's money ends at R$ 922.337.203.685.477,58 (a total past
        // it is refused), every figure as wide as another.
        {"922337203685477,58", "307445734561825,86", QTime(20, 0, 0), false},
    };
    int code = 100;
    for (const Case& c : cases)
        sql(QStringLiteral(
                "insert into TABDIVIDAS (CODIGO, CLIENTE, DATA, DESCRICAO, QUANTIDADE, VALOR_UN, VALOR, "
                "DATA_VENC, DATA_PAG, STATUS_PAG, CONTA, PARCELA, FORM_PAG) values (?, 1, ?, ?, 1, ?, ?, ?, "
                "?, "
                "'PG', 'N', 'À Prazo', 'DINHEIRO')"),
            {++code, today, QStringLiteral("ITEM %1").arg(code),
             QVariant::fromValue(Currency::parse(QString::fromUtf8(c.unit))),
             QVariant::fromValue(Currency::parse(QString::fromUtf8(c.value))), today,
             QDateTime(QDate(2026, 12, 11), c.paidAt)});
    choose(1, 2); // paid, over all time
    press(Qt::Key_F4);
    press(Qt::Key_F10);
    EXPECT_EQ(messages.log(), QStringList());
    ASSERT_EQ(printing.shown.size(), 1);
    const Report::Prepared& r = printing.last();

    EXPECT_EQ(ReportFit::cutTexts(r), QStringList());
    EXPECT_EQ(ReportFit::overlappingTexts(r), QStringList());
    const auto row = [&r](const QString& field, const QString& text) -> const Report::Item* {
        for (const Report::Item* i : r.itemsOf(QStringLiteral("DBRelatorio") + field))
            if (i->text == text)
                return i;
        return nullptr;
    };
    for (const Case& c : cases) {
        const QString unit = Currency::parse(QString::fromUtf8(c.unit)).format();
        const QString value = Currency::parse(QString::fromUtf8(c.value)).format();
        const QString paidAt = QStringLiteral("11/12/2026 ") + c.paidAt.toString(QStringLiteral("HH:mm:ss"));
        SCOPED_TRACE(value.toStdString());
        for (const auto& [field, text] :
             {std::pair{QStringLiteral("VALOR_UN"), unit}, std::pair{QStringLiteral("VALOR"), value},
              std::pair{QStringLiteral("DATA_PAG"), paidAt}}) {
            const Report::Item* i = row(field, text);
            ASSERT_NE(i, nullptr) << field.toStdString() << " " << text.toStdString();
            if (c.fullSize || field == QLatin1String("DATA_PAG"))
                EXPECT_EQ(i->style.points, 7) << field.toStdString();
            else
                EXPECT_GE(i->style.points, 5) << field.toStdString() << ": still to be read";
        }
    }
}

TEST_F(CashFlowPrint, AnEmptyConsultationPrintsItsTitleHeaderAndAnEmptyTotal) {
    choose(1, 3);
    FConsulta->DateTimePicker1->setDate(QDate(2001, 1, 1));
    FConsulta->DateTimePicker2->setDate(QDate(2001, 1, 2));
    press(Qt::Key_F4);
    ASSERT_TRUE(listed().isEmpty());
    press(Qt::Key_F10);

    const Report::Prepared& r = printing.last();
    ASSERT_EQ(r.pages.size(), 1);
    EXPECT_EQ(r.framesOf(QStringLiteral("ReportTitle1")), 1);
    EXPECT_EQ(r.framesOf(QStringLiteral("MasterData1")), 0);
    EXPECT_EQ(printed(QStringLiteral("Memo4")), QStringLiteral("Valor Total:"));
    EXPECT_EQ(printed(QStringLiteral("DBRelatorioSoma")), QString());
    EXPECT_EQ(printed(QStringLiteral("Page")), QStringLiteral("1"));
    EXPECT_FALSE(r.itemsOf(QStringLiteral("Header1")).isEmpty());
}

} // namespace
