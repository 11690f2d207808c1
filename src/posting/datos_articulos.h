#pragma once
// What posting reads of the articles it moves (V_MA_ARTICULOS): inventory account, supplier
// account, cost and description. A posting call reads them for all its articles at once, 500 codes to a query,
// and keeps them for the call; an article asked for that was not read yet is read then, alone.
//
//   DatosArticulos articulos;
//   on.run([&] { articulos.Carga(codigos); });            // one query per 500 codes
//   const DatosArticulos::Datos d = articulos.De("000123");
//   if (d.existe) ... d.cuentaContable, d.cuentaProveedor, d.costo
//
// Codes compare as the server compares them (trailing blanks and case do not count). A query
// that fails raises to the caller's step, so that the posting's error handler asks about it.
#include "platform/vb/currency.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace posting {

class DatosArticulos {
public:
    // Articles per query: an IN list this long stays well inside every server's limits.
    static constexpr int kPorConsulta = 500;

    struct Datos {
        bool existe = false;                     // the article has a row
        std::optional<QString> cuentaContable;   // cuentacontableC as stored; none when Null
        QString cuentaProveedor;                 // CUENTAPROVEEDOR, trimmed; empty: none
        vb::Currency costo;                      // Costo; 0 when Null
        QString descripcion;                     // DESCRIPCION; empty when Null
    };

    // Reads the codes not read yet (each as a record writes it, e.g. brought to 25 characters).
    void Carga(const QStringList& codigos);
    // The article's data, read now when it was not read yet.
    Datos De(const QString& codigo);

private:
    QHash<QString, Datos> datos_;   // by Clave(code); an article without a row is kept as such
};

}  // namespace posting
