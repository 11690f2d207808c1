#pragma once
// Stock posting on the demo head-office database, without journal entries: an articles grid to
// fill line by line, the business unit A001 and cash box 1 of a logged user, scripted boxes, and
// the stored movements read back as text.
#include "posting/columnas_articulos.h"
#include "posting_db.h"

#include "core/mod_global.h"
#include "db/databases.h"
#include "platform/ado/ado.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"

namespace postingtest {

class PosteoTest : public PostingTest {
protected:
    bool ConDemo() const override { return true; }
    void SetUp() override {
        PostingTest::SetUp();
        Claves({"AsientosXStock", "NO"});
        core::gUNegocio = "A001";
        core::gCaja = "1";
        grilla.SetCols(posting::art::kColumnas);
        grilla.SetRows(1);
    }

    // A new line of a demo article with its quantity, deposit A001, no series, no sizes.
    void LineaSimple(const QString& cantidad, const QString& articulo = "000123") {
        using namespace posting::art;
        const int f = grilla.Rows();
        grilla.SetRows(f + 1);
        const std::pair<int, QString> celdas[] = {{IdArticulo, articulo}, {Descripcion, "Azúcar refinada 1 kg"},
                                                  {IdUnidad, "UN"}, {IdDeposito, "A001"}, {Cantidad, cantidad},
                                                  {PideSerie, "0"}, {PideTalle, "0"}};
        for (const auto& [col, texto] : celdas) grilla.SetTextMatrix(f, col, texto);
    }

    // A reception with everything a posting writes: a breakfast basket (two sugars and a coffee of
    // lots L0001 and L0002, its inputs discharged) and sugar, each at its cost, its journal entry
    // row by row into an emptied MV_ASIENTOS, in the demo's period.
    void RecepcionConAsiento() {
        Claves({"AsientosXStock", "SI"});
        Ejecuta({"DELETE FROM MV_ASIENTOS", "UPDATE MA_ARTICULOS SET CUENTACONTABLEC = '1.1.08' WHERE IDARTICULO = '000789'"});
        core::gPeriodo = 2008;
        LineaSimple("5", "000900");
        grilla.SetTextMatrix(1, posting::art::Costo, "20");
        LineaSimple("3", "000123");
        grilla.SetTextMatrix(2, posting::art::Costo, "45.5");
    }

    // The stored stock rows in voucher and sequence order, "|" between columns, " " between rows.
    std::string Filas(const QString& columnas, const QString& donde = "1=1") {
        return Consulta("SELECT " + columnas + " FROM V_MV_STOCK WHERE " + donde +
                        " ORDER BY TC, IdComprobante, Secuencia");
    }
    // The rows of any query, read as Filas reads them.
    std::string Consulta(const QString& sql) {
        ado::ConnectionPtr cnn = ado::Connection::Create();
        cnn->Open(db::ConnectionText(carpeta.path(), "VOLMA"));
        ado::RecordsetPtr rs = cnn->Execute(sql);
        QStringList filas;
        for (; !rs->Eof(); rs->MoveNext()) {
            QStringList valores;
            for (int i = 0; i < rs->fieldCount(); ++i) {
                const vb::Variant v = rs->Fields(i).Value();
                valores << (v.isNull() ? QStringLiteral("NULL") : v.text().trimmed());
            }
            filas << valores.join(u'|');
        }
        return filas.join(u' ').toStdString();
    }

    ui::FlexGrid grilla{"MSFlexGrid1"};
    ui::ScriptedPrompter prompter;
};

}  // namespace postingtest
