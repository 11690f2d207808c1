#include "main_window/reportes.h"

#include "core/armado_sql.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/info_estacion.h"
#include "platform/vb/dates.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTextStream>
#include <QUrl>

namespace main_window {

namespace {

std::function<void(const QString&)> gAbreDocumento;

const QString kAviso = QStringLiteral("Aviso al operador");

QString ArchivoDefinicion(const QString& carpeta, const QString& reporte) {
    const QString nombre = reporte + QStringLiteral(".rpt");
    for (const QString& dir : {carpeta, carpeta + QStringLiteral("/reports")}) {
        const QString ruta = QDir(dir.isEmpty() ? QStringLiteral(".") : dir).filePath(nombre);
        if (QFileInfo::exists(ruta)) return ruta;
    }
    return QString();
}

// "Empresa = 'X'" -> X, among the call's texts.
QString ValorDeTexto(const QStringList& textos, const QString& clave) {
    static const QRegularExpression re(QStringLiteral(R"(^\s*(\w+)\s*=\s*'(.*)'\s*$)"));
    for (const QString& t : textos) {
        const auto m = re.match(t);
        if (m.hasMatch() && m.captured(1).compare(clave, Qt::CaseInsensitive) == 0) return m.captured(2);
    }
    return QString();
}

QString TextoCelda(const vb::Variant& v, const ColumnaReporte& c) {
    if (v.isNull() || v.isEmpty()) return QString();
    if (v.type() == vb::VarType::Date) {
        const QDateTime dt = v.toDate().toQDateTime();
        return dt.time() == QTime(0, 0) ? dt.date().toString(QStringLiteral("dd/MM/yyyy"))
                                        : dt.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    }
    if (c.decimales >= 0 && v.isNumeric()) return QString::number(v.toDouble(), 'f', c.decimales);
    return v.text();
}

void Avisa(const QString& texto) { ui::MsgBox(texto, ui::vbExclamation + ui::vbOKOnly, kAviso); }

}  // namespace

bool LeeDefinicionReporte(const QString& archivo, DefinicionReporte& def, QString& error) {
    QFile f(archivo);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("No se pudo leer la definición del reporte ") + archivo;
        return false;
    }
    def = DefinicionReporte{};
    QTextStream in(&f);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString linea = in.readLine().trimmed();
        if (linea.isEmpty() || linea.startsWith(u'#')) continue;
        const qsizetype igual = linea.indexOf(u'=');
        if (igual <= 0) continue;
        const QString clave = linea.left(igual).trimmed();
        const QString valor = linea.mid(igual + 1).trimmed();
        if (clave.compare(QStringLiteral("Titulo"), Qt::CaseInsensitive) == 0) {
            def.titulo = valor;
        } else if (clave.compare(QStringLiteral("Consulta"), Qt::CaseInsensitive) == 0) {
            def.consulta = def.consulta.isEmpty() ? valor : def.consulta + u' ' + valor;
        } else if (clave.compare(QStringLiteral("Orden"), Qt::CaseInsensitive) == 0) {
            def.orden = valor;
        } else if (clave.compare(QStringLiteral("Columna"), Qt::CaseInsensitive) == 0) {
            const QStringList partes = valor.split(u'|');
            ColumnaReporte c;
            c.campo = partes.value(0).trimmed();
            c.titulo = partes.value(1, c.campo).trimmed();
            c.ancho = std::max(1, partes.value(2, QStringLiteral("10")).trimmed().toInt());
            c.derecha = partes.value(3).trimmed().compare(QStringLiteral("D"), Qt::CaseInsensitive) == 0;
            bool ok = false;
            const int dec = partes.value(4).trimmed().toInt(&ok);
            c.decimales = ok ? dec : -1;
            if (!c.campo.isEmpty()) def.columnas.push_back(c);
        }
    }
    if (def.consulta.isEmpty() || def.columnas.empty()) {
        error = QStringLiteral("La definición del reporte no tiene consulta o columnas: ") + archivo;
        return false;
    }
    return true;
}

bool CondicionDeSeleccion(const QString& formula, QString& condicion) {
    condicion.clear();
    if (formula.trimmed().isEmpty()) return true;
    static const QRegularExpression re(
        QStringLiteral(R"(^\s*\{\s*([A-Za-z_]\w*)\.([A-Za-z_]\w*)\s*\}\s*(<>|>=|<=|=|>|<)\s*(.*?)\s*$)"));
    const auto m = re.match(formula);
    if (!m.hasMatch()) return false;
    QString valor = m.captured(4);
    if (valor.size() >= 2 && ((valor.startsWith(u'\'') && valor.endsWith(u'\'')) ||
                              (valor.startsWith(u'"') && valor.endsWith(u'"'))))
        valor = valor.mid(1, valor.size() - 2);
    condicion = m.captured(1) + u'.' + m.captured(2) + u' ' + m.captured(3) + QStringLiteral(" '") +
                data::LiteralSQL(valor) + u'\'';
    return true;
}

QString ConsultaReporte(const DefinicionReporte& def, const QString& condicion) {
    QString sql = def.consulta;
    if (!condicion.isEmpty()) {
        static const QRegularExpression where(QStringLiteral(R"(\bWHERE\b)"), QRegularExpression::CaseInsensitiveOption);
        sql += (where.match(sql).hasMatch() ? QStringLiteral(" AND (") : QStringLiteral(" WHERE (")) + condicion +
               u')';
    }
    if (!def.orden.isEmpty()) sql += QStringLiteral(" ORDER BY ") + def.orden;
    return sql;
}

namespace {

using Filas = std::vector<std::vector<QString>>;

// The request's definition and the condition of its selection formula; false after telling the
// operator what is wrong.
bool PreparaReporte(const utillib::PedidoReporte& pedido, DefinicionReporte& def, QString& condicion) {
    const QString archivo = ArchivoDefinicion(pedido.carpeta, pedido.reporte);
    if (archivo.isEmpty()) {
        Avisa(QStringLiteral("No se encontró el reporte ") + pedido.reporte);
        return false;
    }
    QString error;
    if (!LeeDefinicionReporte(archivo, def, error)) {
        Avisa(error);
        return false;
    }
    if (!CondicionDeSeleccion(pedido.formulaSeleccion, condicion)) {
        Avisa(QStringLiteral("La fórmula de selección del reporte no es válida: ") + pedido.formulaSeleccion);
        return false;
    }
    return true;
}

// The report's rows, each cell as it is printed; false when they were not read (the data-access
// object reports its own errors; a failure while reading is told here).
bool LeeFilas(const DefinicionReporte& def, const QString& condicion, const QString& reporte, Filas& filas) {
    ado::RecordsetPtr rs;
    data::DB_Dll& db = data::gDBPrincipal();
    db.AbrirRecordset(ConsultaReporte(def, condicion), rs);
    if (!rs || rs->State() != ado::adStateOpen) return false;
    try {
        while (!rs->Eof()) {
            std::vector<QString> fila;
            for (const auto& c : def.columnas) fila.push_back(TextoCelda(rs->Fields(c.campo).Value(), c));
            filas.push_back(std::move(fila));
            rs->MoveNext();
        }
    } catch (const vb::Error& e) {
        db.CierraRecordset(rs);
        Avisa(QStringLiteral("No se pudo leer el reporte ") + reporte + QStringLiteral(": ") + e.description());
        return false;
    }
    db.CierraRecordset(rs);
    return true;
}

// The report drawn on the pages of a PDF: a heading on every page (title, company, when it was
// printed and the page number, the columns' titles), the rows, and the count of rows at the end.
class PaginasReporte {
public:
    PaginasReporte(QPdfWriter& writer, QPainter& p, const DefinicionReporte& def, const QString& empresa)
        : writer_(writer), p_(p), def_(def), empresa_(empresa) {
        const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
        ancho_ = area.width();
        alto_ = area.height();
        negrita_.setBold(true);
        p.setFont(normal_);
        lineH_ = medida_.height() + 4;
        ubicaColumnas(medida_.averageCharWidth());
    }

    void imprime(const Filas& filas) {
        encabezado();
        for (const auto& fila : filas) {
            if (y_ + lineH_ > alto_ - lineH_) {
                writer_.newPage();
                encabezado();
            }
            for (size_t i = 0; i < fila.size(); ++i)
                p_.drawText(celda(i), alineacion(i), medida_.elidedText(fila[i], Qt::ElideRight, ws_[i] - 4));
            y_ += lineH_;
        }
        p_.drawLine(0, y_ + 2, ancho_, y_ + 2);
        p_.drawText(QRect(0, y_ + 4, ancho_, lineH_), Qt::AlignLeft | Qt::AlignVCenter,
                    QStringLiteral("Registros: ") + QString::number(filas.size()));
    }

private:
    // Column positions, scaled down when the columns are wider than the page.
    void ubicaColumnas(int charW) {
        int total = 0;
        for (const auto& c : def_.columnas) total += c.ancho * charW + 8;
        const double escala = total > ancho_ ? static_cast<double>(ancho_) / total : 1.0;
        int x = 0;
        for (const auto& c : def_.columnas) {
            const int w = static_cast<int>((c.ancho * charW + 8) * escala);
            xs_.push_back(x);
            ws_.push_back(w);
            x += w;
        }
    }
    QRect celda(size_t i) const { return QRect(xs_[i] + 2, y_, ws_[i] - 4, lineH_); }
    Qt::Alignment alineacion(size_t i) const {
        return (def_.columnas[i].derecha ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
    }

    void encabezado() {
        ++pagina_;
        y_ = 0;
        p_.setFont(titulo_);
        p_.drawText(QRect(0, y_, ancho_, 30), Qt::AlignLeft | Qt::AlignVCenter, def_.titulo);
        y_ += 32;
        p_.setFont(normal_);
        p_.drawText(QRect(0, y_, ancho_ / 2, lineH_), Qt::AlignLeft | Qt::AlignVCenter, empresa_);
        p_.drawText(QRect(ancho_ / 2, y_, ancho_ / 2, lineH_), Qt::AlignRight | Qt::AlignVCenter,
                    emitido_ + QStringLiteral("   Página ") + QString::number(pagina_));
        y_ += lineH_ + 4;
        p_.setFont(negrita_);
        for (size_t i = 0; i < def_.columnas.size(); ++i) p_.drawText(celda(i), alineacion(i), def_.columnas[i].titulo);
        y_ += lineH_;
        p_.drawLine(0, y_, ancho_, y_);
        y_ += 3;
        p_.setFont(normal_);
    }

    QPdfWriter& writer_;
    QPainter& p_;
    const DefinicionReporte& def_;
    const QString empresa_;
    const QString emitido_ = vb::Now().toQDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    QFont normal_{QStringLiteral("Sans"), 9};
    const QFontMetrics medida_{normal_};   // the rows' font, measured once
    QFont negrita_ = normal_;
    QFont titulo_{QStringLiteral("Sans"), 14, QFont::Bold};
    int ancho_ = 0;
    int alto_ = 0;
    int lineH_ = 0;
    std::vector<int> xs_, ws_;
    int pagina_ = 0;
    int y_ = 0;
};

// Writes the report to the PDF file `pdf`; false when the file cannot be written.
bool EscribePdf(const QString& pdf, const DefinicionReporte& def, const Filas& filas, const QString& empresa) {
    QPdfWriter writer(pdf);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(96);
    writer.setTitle(def.titulo);
    writer.setCreator(QStringLiteral("Korvane"));
    QPainter p;
    if (!p.begin(&writer)) return false;
    PaginasReporte(writer, p, def, empresa).imprime(filas);
    p.end();
    return true;
}

}  // namespace

QString ImprimeReportePdf(const utillib::PedidoReporte& pedido) {
    DefinicionReporte def;
    QString condicion;
    if (!PreparaReporte(pedido, def, condicion)) return QString();
    Filas filas;
    if (!LeeFilas(def, condicion, pedido.reporte, filas)) return QString();

    // The user's own temporary folder: never the machine's shared one.
    const QString carpeta = core::gInfoEstacion().CarpetaTemporal();
    const QString pdf = QDir(carpeta).filePath(pedido.reporte + QStringLiteral(".pdf"));
    if (carpeta.isEmpty() || !EscribePdf(pdf, def, filas, ValorDeTexto(pedido.textos, QStringLiteral("Empresa")))) {
        Avisa(QStringLiteral("No se pudo escribir el archivo ") + pdf);
        return QString();
    }
    if (gAbreDocumento)
        gAbreDocumento(pdf);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(pdf));
    return pdf;
}

void InstalaImpresoraReportes() {
    utillib::MotorReportes::SetRenderer([](const utillib::PedidoReporte& pedido) { ImprimeReportePdf(pedido); });
}

void SetAbreDocumento(std::function<void(const QString&)> abre) { gAbreDocumento = std::move(abre); }

}  // namespace main_window
