// A head office that fills up or turns read-only while a voucher is posted: the voucher is
// rolled back whole, inside the caller's transaction as on its own, and posted once when the
// database takes writes again.
#include "posting/cls_cmn_cptes.h"

#include "data/db_dll.h"
#include "platform/ado/transaction.h"
#include "platform/vb/on_error.h"
#include "posteo_fixture.h"
#include "support/test_support.h"

namespace {

class BaseLlenaTest : public postingtest::PosteoTest {
protected:
    bool Postea(const QString& nro) {
        posting::ClsCmnCptes cpte;
        bool hayError = false;
        cpte.ActualizaStock(grilla, "TK", nro, "0", "05/03/2008", "ELDELGRID", "", "1", "I", "7", false, "PorDefault", false,
                            nullptr, &hayError, "Null", "", "A001", "", 0, true);
        return hayError;
    }
    std::string Cantidades(const QString& nro) { return Filas("Cantidad", "IdComprobante = '" + nro + "'"); }
    void Lineas(int n) {
        grilla.SetRows(1);
        for (int i = 0; i < n; ++i) LineaSimple(QString::number(i + 1));
    }
};

TEST_F(BaseLlenaTest, AVoucherOnAFullOrReadOnlyHeadOfficeIsRolledBackWholeAndPostedOnceAfter) {
    ado::ConnectionPtr cnn = data::gDBPrincipal().gCnn();
    struct Caso {
        const char* que;
        QString falla, arregla;
        bool readOnly;
    };
    const Caso casos[] = {
        {"disco lleno", "PRAGMA max_page_count = " + testsupport::Scalar(cnn, "PRAGMA page_count").text(),
         "PRAGMA max_page_count = 1000000", false},
        {"solo lectura", "PRAGMA query_only = 1", "PRAGMA query_only = 0", true},
    };
    Lineas(40);
    std::string todas;
    for (int i = 0; i < 40; ++i) todas += (i ? " " : "") + std::to_string(-(i + 1));   // a sale takes out
    int numero = 20;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.que);
        for (const bool dentro : {false, true}) {
            const QString nro = QStringLiteral("0001%1C").arg(++numero, 8, 10, QChar(u'0'));
            cnn->Execute(c.falla);
            if (dentro && c.readOnly) {
                // A transaction takes the write lock as it begins: on a read-only head office the
                // caller's own begin is refused, before anything of the voucher runs.
                EXPECT_THROW(ado::Transaction(data::gDBPrincipal().Transaccion()), vb::Error);
                EXPECT_EQ(cnn->transactionLevel(), 0);
                cnn->Execute(c.arregla);
                continue;
            }
            prompter.answer(vb::kOk);
            {
                // Inside the caller's transaction (the receiver's voucher), as on its own.
                std::unique_ptr<ado::Transaction> comprobante;
                if (dentro) comprobante.reset(new ado::Transaction(data::gDBPrincipal().Transaccion()));
                EXPECT_TRUE(Postea(nro));
                EXPECT_EQ(cnn->transactionLevel(), dentro ? 1 : 0);
            }
            EXPECT_EQ(cnn->transactionLevel(), 0);
            EXPECT_EQ(Cantidades(nro), "");
            cnn->Execute(c.arregla);
            EXPECT_FALSE(Postea(nro));
            EXPECT_EQ(Cantidades(nro), todas);
        }
    }
    EXPECT_TRUE(prompter.exhausted());
}

}  // namespace
