#pragma once
// Statement texts of the lookups: the lookup-definition file "consultas.qvd", the statements the
// builder writes, the table name the list dialog works under, and the narrowing of a statement by
// the text typed in a search box (F5).
#include <QByteArray>
#include <QString>
#include <optional>

namespace lookup {

// Record length of "consultas.qvd".
inline constexpr int kLargoRegistroConsulta = 1202;

// One record of "consultas.qvd", its fields cleaned of the characters 0 and 255 and trimmed;
// the column list already has each "|" turned into ",".
struct RegistroConsulta {
    QString titulo;
    QString tabla;
    QString columnas;
    QString filtro;
};

RegistroConsulta LeeRegistroConsulta(const QByteArray& registro);

// The first record whose table is `tabla` (trimmed, case ignored); nothing when the file holds
// none. Raises vb::Error when the file cannot be read.
std::optional<RegistroConsulta> BuscaDefinicion(const QString& ruta, const QString& tabla);

// The row limit of the built statements from the text of the setting "TopConsArt": its leading
// number rounded to a whole number; 1000 when that is 0 or negative, kMayorLimiteFilas at most.
inline constexpr long kMayorLimiteFilas = 2147483647;
long LimiteFilas(const QString& valorTopConsArt);

// What a definition record gives: the select list (leading and trailing "," dropped, "*" when
// blank), the search column (the caller's, or the list's first column) and the statement.
struct SentenciaDefinicion {
    QString columnas;
    QString campoBusqueda;
    QString sentencia;
    bool faltaConfigurar = false;   // no search column given and the list holds one column only
};

SentenciaDefinicion ArmaSentenciaDefinicion(const RegistroConsulta& r, long limite,
                                            const QString& campoBusqueda, const QString& where);

// The filter a table gets when neither its record nor the caller gives one.
QString FiltroPorDefecto(const QString& tabla);

// The table name of a list-dialog statement: the word after the first "from" (any case).
QString NombreTablaSentencia(const QString& sql);

// F5 in a search box of the list dialog: the statement narrowed by a condition on `campo`.
// Without `usaLike` every "*" of the typed text becomes "%" and the field must begin with it;
// `textoCaja` receives the text as the box then shows it.
QString FiltraSentenciaLista(const QString& sql, const QString& campo, const QString& texto, bool usaLike,
                             QString* textoCaja = nullptr);

// F5 in the tree dialog: the statement narrowed to the rows whose Descripcion holds the text.
QString FiltraSentenciaArbol(const QString& sql, const QString& texto);

}  // namespace lookup
