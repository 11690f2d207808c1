#include "posting/unidades.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "platform/ui/flex_grid.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/runtime.h"
#include "posting/columnas_articulos.h"
#include "posting/tratamiento.h"

namespace posting::Stock {

namespace {

enum class Sentido { Directo, Inverso };

// The conversion through the article's equivalence; see ConvierteCantidadEquiv.
vb::ReadResult<double> Convierte(const QString& articulo, const QString& unidadOrigen, double cantidad,
                                 const QString& destino, Sentido sentido, QString* unidadArticulo) {
    if (cantidad == 0) return 0.0;
    if (unidadOrigen.compare(destino, Qt::CaseInsensitive) == 0) return cantidad;
    QString origen = unidadOrigen;
    QString operador;
    double coeficiente = 0;
    bool sinUnidad = false;
    const vb::ReadResult<bool> hallada =
        IdArticuloTieneEquivalencias(articulo, destino, operador, origen, coeficiente, sinUnidad);
    if (unidadArticulo) *unidadArticulo = origen;
    if (!hallada.read()) return vb::kNotRead;
    if (!hallada.value()) return 0.0;
    // A row found swapped ("*") divides going forward; a direct one ("/") multiplies.
    const bool divide = (operador == QLatin1String("*")) == (sentido == Sentido::Directo);
    return divide ? cantidad / coeficiente : cantidad * coeficiente;
}

}  // namespace

QString ObtieneUnidadArticulo(const QString& IdArticulo) {
    utillib::UtilTexto& util = core::gUtilTexto();
    ado::RecordsetPtr rs;
    ado::Recordset& r = Abre(QStringLiteral("SELECT IDUNIDAD FROM V_MA_ARTICULOS WHERE IDARTICULO = '") +
                                 Lit(util.Rellena(IdArticulo, 25)) + QStringLiteral("'"),
                             rs);
    const QString unidad = r.Eof() ? QString() : vb::Trim(util.ValorNoNulo(r.Fields(QStringLiteral("IdUnidad"))).text());
    Cierra(rs);
    return unidad;
}

vb::ReadResult<bool> IdArticuloTieneEquivalencias(const QString& IdArticulo, const QString& UnidadDestino,
                                                  QString& Operador, QString& UnidadOrigen, double& Coeficiente,
                                                  bool& SinUnidad) {
    bool resultado = false;
    QString unidad;
    ado::RecordsetPtr rs;
    vb::OnError on(Tratamiento("IdArticuloTieneEquivalencias"));
    Coeficiente = 0;
    SinUnidad = false;
    on.run([&] { unidad = UnidadOrigen.isEmpty() ? ObtieneUnidadArticulo(IdArticulo) : UnidadOrigen; });
    on.run([&] { SinUnidad = vb::Trim(unidad).isEmpty(); });
    if (!SinUnidad && !on.left()) {
        UnidadOrigen = unidad;
        const QString articulo = Lit(core::RellenaCodigo(IdArticulo, 25));
        const QString origen = Lit(core::RellenaCodigo(unidad, 4));
        const QString destino = Lit(core::RellenaCodigo(UnidadDestino, 4));
        // One search; a row whose coefficient is 0 or Null converts nothing and counts as none.
        const auto busca = [&](const QString& de, const QString& a, const char* operador) {
            on.run([&] {
                ado::Recordset& r = Abre(QStringLiteral("SELECT * FROM  S_TA_EQUIV  with(nolock)  WHERE IdArticulo = '") +
                                             articulo + QStringLiteral("' AND IDUNIDAD = '") + de +
                                             QStringLiteral("' AND IDUNIDAD_EQUIV = '") + a + QStringLiteral("'"),
                                         rs);
                if (r.Eof()) return;
                const vb::Variant k = r.Fields(QStringLiteral("Coeficiente")).Value();
                if (k.isNull() || k.isEmpty() || k.toDouble() == 0) return;
                resultado = true;
                Coeficiente = k.toDouble();
                Operador = QString::fromLatin1(operador);
            });
        };
        busca(origen, destino, "/");
        if (!resultado) busca(destino, origen, "*");
    }
    CierraBajo("IdArticuloTieneEquivalencias", rs);
    if (on.passedOver()) return vb::kNotRead;
    return resultado;
}

vb::ReadResult<double> ConvierteCantidadEquiv(const QString& IdArticulo, const QString& UnidadOrigen, double Cantidad,
                                              const QString& UnidadDestino, QString* UnidadArticulo) {
    return Convierte(IdArticulo, UnidadOrigen, Cantidad, UnidadDestino, Sentido::Directo, UnidadArticulo);
}

vb::ReadResult<double> ConvierteCantidadEquivInversa(const QString& IdArticulo, const QString& UnidadOrigen,
                                                     double Cantidad, const QString& UnidadDestino,
                                                     QString* UnidadArticulo) {
    return Convierte(IdArticulo, UnidadOrigen, Cantidad, UnidadDestino, Sentido::Inverso, UnidadArticulo);
}

bool CalculaCantidadesEquivGrilla(ui::FlexGrid& Grilla) {
    bool leidas = true;
    utillib::UtilTexto& util = core::gUtilTexto();
    const int fila = Grilla.Row();
    const struct {
        const QString& unidad;
        art::Columna columna;
    } destinos[] = {{core::gUnidadBL, art::CantidadBL}, {core::gUnidadM3, art::CantidadM3}, {core::gUnidadKG, art::CantidadKG}};
    for (const auto& d : destinos) {
        if (Grilla.TextMatrix(fila, art::IdUnidadEquiv).compare(d.unidad, Qt::CaseInsensitive) == 0) {
            Grilla.SetTextMatrix(fila, d.columna, Grilla.TextMatrix(fila, art::CantidadEquiv));
            continue;
        }
        const double cantidad = util.ADoble(Grilla.TextMatrix(fila, art::Cantidad));   // no Currency range
        const vb::ReadResult<double> convertida = ConvierteCantidadEquiv(
            Grilla.TextMatrix(fila, art::IdArticulo), vb::Trim(Grilla.TextMatrix(fila, art::IdUnidad)), cantidad, d.unidad);
        if (!convertida.read()) {
            leidas = false;
            continue;
        }
        Grilla.SetTextMatrix(fila, d.columna, vb::NumberText(convertida.value()));
    }
    return leidas;
}

}  // namespace posting::Stock
