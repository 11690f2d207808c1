#include "lookup/lookup_sql.h"

#include "data/sql_literal.h"
#include "platform/vb/files.h"
#include "platform/vb/runtime.h"

#include <QFileInfo>

namespace lookup {

namespace {

// The characters 0 and 255 never belong to a field; a record written with zero or 255 filling
// gives back the same text as one filled with blanks.
QString Limpia(const QString& s) {
    QString out = s;
    out.remove(QChar(0));
    out.remove(QChar(0x00FF));
    return vb::Trim(out);
}

QString Campo(const QByteArray& registro, int desde, int largo) {
    return vb::FromCp1252(registro.mid(desde, largo));
}

bool Contiene(const QString& s, const QString& buscado) {
    return s.contains(buscado, Qt::CaseInsensitive);
}

int Posicion(const QString& s, const QString& buscado) {   // 1-based, 0 when absent
    return s.indexOf(buscado, 0, Qt::CaseInsensitive) + 1;
}

// A statement cut at its ORDER BY: what stands before it and the clause itself (empty when the
// statement has none).
struct Cortada {
    QString base;
    QString orden;
};

Cortada CortaEnOrden(const QString& sql) {
    const int p = Posicion(sql, QStringLiteral("order by"));
    if (p == 0) return {sql, QString()};
    return {vb::Left(sql, p - 1), vb::Mid(sql, p)};
}

// How a condition joins a statement: " and " after its WHERE, else " where ".
QString UnionCondicion(const QString& sql) {
    return Contiene(sql, QStringLiteral("where")) ? QStringLiteral(" and ") : QStringLiteral(" where ");
}

}  // namespace

RegistroConsulta LeeRegistroConsulta(const QByteArray& registro) {
    RegistroConsulta r;
    r.titulo = Limpia(Campo(registro, 0, 100));
    r.tabla = Limpia(Campo(registro, 100, 100));
    r.columnas = Limpia(Campo(registro, 200, 500).replace(QLatin1Char('|'), QLatin1Char(',')));
    r.filtro = Limpia(Campo(registro, 700, 500));
    return r;
}

std::optional<RegistroConsulta> BuscaDefinicion(const QString& ruta, const QString& tabla) {
    vb::RandomFile archivo(ruta, kLargoRegistroConsulta);
    const QString buscada = vb::Trim(tabla);
    QByteArray registro;
    for (long long n = 1; archivo.get(n, &registro); ++n) {
        RegistroConsulta r = LeeRegistroConsulta(registro);
        if (r.tabla.compare(buscada, Qt::CaseInsensitive) == 0) {
            archivo.close();
            return r;
        }
    }
    archivo.close();
    return std::nullopt;
}

long LimiteFilas(const QString& valorTopConsArt) {
    const double n = vb::Round(vb::Val(valorTopConsArt));
    // No limit, or one no statement can take (TOP is never negative): the usual 1000 rows. A limit
    // beyond the 32-bit range (which a long need not hold) is the largest the range gives.
    if (!(n > 0)) return 1000;
    if (n > kMayorLimiteFilas) return kMayorLimiteFilas;
    return static_cast<long>(n);
}

QString FiltroPorDefecto(const QString& tabla) {
    const QString t = vb::Trim(tabla);
    if (t.compare(QLatin1String("VT_PROVEEDORES"), Qt::CaseInsensitive) == 0 ||
        t.compare(QLatin1String("VT_CLIENTES"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Dada_De_Baja = 0");
    if (t.compare(QLatin1String("V_MA_ARTICULOS"), Qt::CaseInsensitive) == 0) return QStringLiteral("SUSPENDIDO = 0");
    return QString();
}

SentenciaDefinicion ArmaSentenciaDefinicion(const RegistroConsulta& r, long limite, const QString& campoBusqueda,
                                            const QString& where) {
    SentenciaDefinicion s;
    QString columnas = r.columnas;
    if (columnas.startsWith(QLatin1Char(','))) columnas.remove(0, 1);
    if (columnas.endsWith(QLatin1Char(','))) columnas.chop(1);
    if (vb::Trim(columnas).isEmpty()) columnas = QStringLiteral("*");
    s.columnas = columnas;

    QString filtro = r.filtro;
    if (vb::Trim(filtro).isEmpty() && !vb::Trim(where).isEmpty()) filtro = where;

    s.campoBusqueda = campoBusqueda;
    if (s.campoBusqueda.isEmpty()) {
        const int coma = columnas.indexOf(QLatin1Char(','));
        if (coma < 0) {
            s.faltaConfigurar = true;
            return s;
        }
        s.campoBusqueda = columnas.left(coma);
    }
    if (vb::Trim(filtro).isEmpty()) filtro = FiltroPorDefecto(r.tabla);

    s.sentencia = QStringLiteral("SELECT TOP ") + QString::number(limite) + QLatin1Char(' ') + columnas +
                  QStringLiteral(" FROM ") + r.tabla;
    if (!vb::Trim(filtro).isEmpty()) s.sentencia += QStringLiteral(" WHERE ") + filtro;
    if (!s.campoBusqueda.isEmpty()) s.sentencia += QStringLiteral(" ORDER BY ") + s.campoBusqueda;
    return s;
}

QString NombreTablaSentencia(const QString& sql) {
    const int f = sql.indexOf(QLatin1String("from"), 0, Qt::CaseInsensitive);
    if (f < 0) return QString();
    const int desde = f + 4;                      // the character after "from"
    const int fin = sql.indexOf(QLatin1Char(' '), desde + 1);
    return vb::Trim(fin < 0 ? sql.mid(desde) : sql.mid(desde, fin - desde));
}

QString FiltraSentenciaLista(const QString& sql, const QString& campo, const QString& texto, bool usaLike,
                             QString* textoCaja) {
    auto [base, cola] = CortaEnOrden(sql);
    const int g = Posicion(sql, QStringLiteral("group by"));
    if (g > 0) {
        const QString agrupa = vb::Mid(sql, g);
        if (!vb::Trim(agrupa).isEmpty()) cola = agrupa;
        base = vb::Left(sql, g - 1);
    }
    QString prefijo;
    if (Contiene(base, QStringLiteral("stk_ma_articulos."))) prefijo = QStringLiteral("stk_ma_articulos.");
    if (Contiene(base, QStringLiteral("v_ma_articulos."))) prefijo = QStringLiteral("v_ma_articulos.");
    QString condicion;
    QString mostrado = texto;
    if (usaLike) {
        condicion = prefijo + campo + QStringLiteral(" like '%") + data::LiteralSQL(texto) + QStringLiteral("%' ");
    } else {
        mostrado.replace(QLatin1Char('*'), QLatin1Char('%'));
        condicion = prefijo + campo + QStringLiteral(" like '") + data::LiteralSQL(mostrado) + QStringLiteral("%' ");
    }
    if (textoCaja) *textoCaja = mostrado;
    return base + UnionCondicion(sql) + condicion + cola;
}

QString FiltraSentenciaArbol(const QString& sql, const QString& texto) {
    const Cortada c = CortaEnOrden(sql);
    return c.base + UnionCondicion(sql) + QStringLiteral("Descripcion") + QStringLiteral(" like '%") + data::LiteralSQL(texto) +
           QStringLiteral("%' ") + c.orden;
}

}  // namespace lookup
