#include "posting/lista_pipe.h"

#include "posting/cls_cmn_cptes.h"
#include "platform/vb/runtime.h"

#include <QSet>

namespace posting::ListaPipe {

namespace {

constexpr QChar kSeparador = u'|';

// A list as read by rules 1 to 5: the items untrimmed, or a bare value.
struct Lectura {
    bool suelto = false;   // no "|" left: a bare value (in `items` when not blank)
    QStringList items;
};

Lectura Lee(const QString& texto) {
    Lectura r;
    QString t = vb::Trim(texto);
    if (t.startsWith(kSeparador)) t.remove(0, 1);
    if (!t.contains(kSeparador)) {
        r.suelto = true;
        if (!vb::Trim(t).isEmpty()) r.items << t;
        return r;
    }
    // The text ends in a non-blank character (rule 1), so what is left is blank only when empty.
    qsizetype desde = 0;
    while (desde < t.size()) {
        const qsizetype barra = t.indexOf(kSeparador, desde);
        if (barra < 0) break;
        r.items << t.mid(desde, barra - desde);
        desde = barra + 1;
    }
    return r;
}

// The key under which rule 6 compares items.
QString Clave(const QString& item) { return vb::Trim(item).toCaseFolded(); }

}  // namespace

QStringList DescomponeSerieLote(const QString& Serie_Lote) {
    QStringList arreglo;
    for (const QString& item : Lee(Serie_Lote).items) arreglo << vb::Trim(item);
    arreglo << QString();
    return arreglo;
}

int32_t Cantidad_Series_Lotes(const QString& Pipes) {
    if (Pipes.isEmpty()) return 0;
    return static_cast<int32_t>(Lee(Pipes).items.size());
}

QString ExtraeSerieLote(const QString& Serie_Lote, int32_t QuePosicion) {
    if (QuePosicion < 1) return QString();
    const Lectura l = Lee(Serie_Lote);
    return QuePosicion <= l.items.size() ? l.items.at(QuePosicion - 1) : QString();
}

QStringList ItemsSerieLote(const QString& Serie_Lote) { return Lee(Serie_Lote).items; }

int32_t Busca_Lotes_Series(const QString& PipeSeriesLotes, const QString& QueSerieLote) {
    const Lectura l = Lee(PipeSeriesLotes);
    if (l.suelto) return 0;
    const QString buscada = Clave(QueSerieLote);
    for (qsizetype i = 0; i < l.items.size(); ++i)
        if (Clave(l.items.at(i)) == buscada) return static_cast<int32_t>(i + 1);
    return static_cast<int32_t>(l.items.size() + 1);
}

int32_t Cuenta_Series_Lotes(const QString& PipeSeries, const QString& PIPELotes, bool SinConsolidar) {
    // A series text of blanks only is no series list: the line's lots count.
    const bool conSeries = !vb::Trim(PipeSeries).isEmpty();
    const QStringList items = DescomponeSerieLote(conSeries ? PipeSeries : PIPELotes);
    const qsizetype cantidad = items.size() - 1;
    if (SinConsolidar) return static_cast<int32_t>(cantidad);
    QSet<QString> vistas;
    for (qsizetype i = 0; i < cantidad; ++i)
        if (!items.at(i).isEmpty()) vistas.insert(items.at(i).toCaseFolded());
    return static_cast<int32_t>(vistas.size());
}

QString StrSerieLote(const QString& Serie_Lote) {
    const Lectura l = Lee(Serie_Lote);
    if (l.suelto) return QString();
    QString resultado;
    QSet<QString> vistas;
    for (const QString& item : l.items) {
        const QString valor = vb::Trim(item);
        if (valor.isEmpty() || vistas.contains(valor.toCaseFolded())) continue;
        vistas.insert(valor.toCaseFolded());
        resultado += u' ' + valor;
    }
    return resultado;
}

QString ArmaLista(const QStringList& items) {
    QString lista(kSeparador);
    for (const QString& item : items) lista += item + kSeparador;
    return lista;
}

QString InsertaCHR255(const QString& iPipe) {
    QString resto = vb::Trim(iPipe);
    if (resto.startsWith(kSeparador)) resto.remove(0, 1);
    resto.replace(kSeparador, QString(kPar) + kSeparador);
    return kSeparador + resto;
}

void DescomponePosicionCantidadLote(const QString& Posicion_Lote, const QString& PIPELotes,
                                    QStringList& ArrPosiciones, QStringList& ArrCantidades, QStringList& ArrLote) {
    ArrPosiciones = QStringList{QString()};
    ArrCantidades = QStringList{QString()};
    ArrLote = QStringList{QString()};
    const Lectura l = Lee(Posicion_Lote);
    if (!l.suelto) {
        ArrPosiciones.clear();
        ArrCantidades.clear();
        for (const QString& item : l.items) {
            const QString valor = vb::Trim(item);
            const qsizetype asterisco = valor.indexOf(u'*');
            ArrPosiciones << (asterisco < 0 ? valor : valor.left(asterisco));
            ArrCantidades << (asterisco < 0 ? QString() : valor.mid(asterisco + 1));
        }
        ArrPosiciones << QString();
        ArrCantidades << QString();
    }
    ArrLote = DescomponeSerieLote(PIPELotes);
}

}  // namespace posting::ListaPipe

// ---- the engine's members of the same names ----

namespace posting {

QString ClsCmnCptes::StrSerieLote(const QString& Serie_Lote) { return ListaPipe::StrSerieLote(Serie_Lote); }

void ClsCmnCptes::DescomponeSerieLote(const QString& Serie_Lote, QStringList& arreglo) {
    arreglo = ListaPipe::DescomponeSerieLote(Serie_Lote);
}

void ClsCmnCptes::DescomponePosicionCantidadLote(const QString& Posicion_Lote, const QString& PIPELotes,
                                                 QStringList& ArrPosiciones, QStringList& ArrCantidades,
                                                 QStringList& ArrLote) {
    ListaPipe::DescomponePosicionCantidadLote(Posicion_Lote, PIPELotes, ArrPosiciones, ArrCantidades, ArrLote);
}

int32_t ClsCmnCptes::Cuenta_Series_Lotes(const QString& PipeSeries, const QString& PIPELotes, bool SinConsolidar) {
    return ListaPipe::Cuenta_Series_Lotes(PipeSeries, PIPELotes, SinConsolidar);
}

QString ClsCmnCptes::ExtraeSerieLote(const QString& Serie_Lote, int32_t QuePosicion) {
    return ListaPipe::ExtraeSerieLote(Serie_Lote, QuePosicion);
}

int32_t ClsCmnCptes::Cantidad_Series_Lotes(const QString& Pipes) { return ListaPipe::Cantidad_Series_Lotes(Pipes); }

QString ClsCmnCptes::InsertaCHR255(const QString& iPipe) { return ListaPipe::InsertaCHR255(iPipe); }

int32_t ClsCmnCptes::Busca_Lotes_Series(const QString& PipeSeriesLotes, const QString& QueSerieLote) {
    return ListaPipe::Busca_Lotes_Series(PipeSeriesLotes, QueSerieLote);
}

}  // namespace posting
