// ClsCmnCptes: the lot and series entry drivers. Each puts a fresh lot dialog in front of the
// operator for one article line and hands the answer back as lists; the dialog is let go on every
// way out, an error included.
#include "core/dialogo_en_uso.h"
#include "core/formatos.h"
#include "core/mod_global.h"
#include "lots/carga_lotes_y_series.h"
#include "lots/dialogos_lotes.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/columnas_articulos.h"
#include "posting/lista_pipe.h"
#include "posting/tratamiento.h"

namespace posting {

using core::DialogoEnUso;

void ClsCmnCptes::PideSerieLote(const QString& Articulo, double Cantidad, const QString& SerieAnt,
                                const QString& LoteAnt, QString& SerieNvo, QString& LoteNvo, bool Serie, bool Lote,
                                bool Talle) {
    // One value is typed per unit: a quantity of more units than a grid can hold is refused.
    const bool cabe = lots::CargaLotesySeries::FilasDeValores(Cantidad) >= 0;
    if (!cabe)
        ui::MsgBox(QStringLiteral("La Cantidad supera el máximo de %1 valores por línea")
                       .arg(lots::CargaLotesySeries::kMaxValores, 0, 'f', 0),
                   ui::vbCritical, lots::kAvisoOperador);
    if (Cantidad == 0 || !cabe) {
        SerieNvo.clear();
        LoteNvo.clear();
        return;
    }
    vb::OnError on(Tratamiento("PideSerieLote"));
    DialogoEnUso<lots::DialogoCargaLotesySeries> d(lots::DialogosLotes().cargaLotesySeries);
    on.run([&] {
        d->Cantidad = Cantidad;
        d->EsSerie = Serie;
        d->EsLote = Lote;
        d->EsTalle = Talle;
        d->Articulo = Articulo;
        d->SeriesAnteriores = SerieAnt;
        d->LotesAnteriores = LoteAnt;
    });
    on.run([&] { d->CargaDatos(); });
    on.run([&] { d->SetLblArticulo(Articulo); });
    on.run([&] { d->MostrarModal(); });
    on.run([&] {
        SerieNvo = d->Series.trimmed();
        LoteNvo = d->Lotes.trimmed();
    });
}

void ClsCmnCptes::PideSerieLote_Salidas(ui::FlexGrid& Grilla, const QString& Articulo, const QString& Descripcion,
                                        double& Cantidad, const QString& SeriesLoteAnt, const QString& CantidadANT,
                                        QString& SeriesLoteNvo, QString& CantidadesNvo, bool Lote, bool Serie,
                                        bool Talle, QString* Deposito, bool MostrarForm) {
    vb::OnError on(Tratamiento("PideSerieLote"));
    QString deposito = Deposito ? *Deposito : QString();
    // The default deposit not read (its error told there): no lots of another deposit are offered.
    bool sinLeer = false;
    on.run([&] {
        if (!deposito.isEmpty()) return;
        const vb::ReadResult<QString> leido = core::ObtieneConfiguracion(QStringLiteral("DepositoDefault"));
        sinLeer = !leido.read();
        if (sinLeer) return;
        deposito = leido.value();
        if (Deposito) *Deposito = deposito;
    });
    if (on.left() || sinLeer || Cantidad == 0) return;

    DialogoEnUso<lots::DialogoCargaLotesySeries> d(lots::DialogosLotes().cargaLotesySeries);
    on.run([&] {
        d->Cantidad = Cantidad;
        d->Articulo = Articulo;
        d->EsConsultaDeSerieLote = true;
        d->EsLote = Lote;
        d->EsSerie = Serie;
        d->EsTalle = Talle;
        d->Deposito = core::RellenaCodigo(deposito, 4);
        d->Lotes = SeriesLoteAnt;
        d->Series = CantidadANT;
    });
    on.run([&] {
        QString lotes, cantidades;
        CuentaLotesEnGrilla(Grilla, Articulo, lotes, cantidades);
        d->LotesExistentes = lotes;
        d->SeriesExistentes = cantidades;
    });
    on.run([&] { d->CargaDatos(); });
    on.run([&] {
        d->SetLblArticulo(Articulo + QStringLiteral(" - ") + Descripcion);
        d->MostrarForm = MostrarForm;
    });
    on.run([&] {
        if (MostrarForm) d->MostrarModal();
        else d->CmdAceptar_Click();   // settled from the loaded stock, without the operator
    });
    on.run([&] {
        SeriesLoteNvo = d->Lotes;
        CantidadesNvo = d->Series;
        Cantidad = d->Cantidad;
    });
}

void ClsCmnCptes::CuentaLotesEnGrilla(ui::FlexGrid& Grilla, const QString& Articulo, QString& LotesEnGrid,
                                      QString& CantidadesEnGrid) {
    // The lines' lists joined item by item, so that the k-th quantity stays with the k-th lot
    // even when a line's quantities are missing or bare.
    QStringList lotes, cantidades;
    for (int fila = 1; fila < Grilla.Rows(); ++fila) {
        if (Grilla.TextMatrix(fila, art::IdArticulo).compare(Articulo, Qt::CaseInsensitive) != 0) continue;
        const QStringList l = ListaPipe::ItemsSerieLote(Grilla.TextMatrix(fila, art::Lotes));
        const QStringList c = ListaPipe::ItemsSerieLote(Grilla.TextMatrix(fila, art::Series));
        for (qsizetype k = 0; k < std::max(l.size(), c.size()); ++k) {
            lotes << l.value(k);
            cantidades << c.value(k);
        }
    }
    LotesEnGrid = lotes.isEmpty() ? QString() : ListaPipe::ArmaLista(lotes);
    CantidadesEnGrid = cantidades.isEmpty() ? QString() : ListaPipe::ArmaLista(cantidades);
}

void ClsCmnCptes::PidePosicionLote(const QString& Articulo, const QString& IdUnidad, double Cantidad,
                                   const QString& Deposito, const QString& PosicionAnt, const QString& LoteAnt,
                                   QString& PosicionNVO, QString& LoteNvo, bool Posicion, bool Lote) {
    if (Cantidad == 0) {
        PosicionNVO.clear();
        LoteNvo.clear();
        return;
    }
    vb::OnError on(Tratamiento("PideSerieLote"));
    DialogoEnUso<lots::DialogoLoteyPosicion> d(lots::DialogosLotes().loteyPosicion);
    on.run([&] {
        d->Cantidad1 = Cantidad;
        d->EsConsultaDePosicionLote = !PosicionAnt.isEmpty() || !LoteAnt.isEmpty();
        d->EsPosicion = Posicion;
        d->EsLote = Lote;
        d->IUNIDAD = IdUnidad;
        d->Articulo = Articulo;
        d->Deposito = Deposito;
        d->PosicionesAnteriores = PosicionAnt;
        d->LotesAnteriores = LoteAnt;
    });
    on.run([&] { d->CargaDatos(); });
    on.run([&] { d->SetLblArticulo(Articulo); });
    on.run([&] { d->MostrarModal(); });
    on.run([&] {
        PosicionNVO = d->Posiciones.trimmed();
        LoteNvo = d->Lotes.trimmed();
    });
}

}  // namespace posting
