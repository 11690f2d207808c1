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

QString ImprimeReportePdf(const utillib::PedidoReporte& pedido) {
    const QString archivo = ArchivoDefinicion(pedido.carpeta, pedido.reporte);
    if (archivo.isEmpty()) {
        Avisa(QStringLiteral("No se encontró el reporte ") + pedido.reporte);
        return QString();
    }
    DefinicionReporte def;
    QString error;
    if (!LeeDefinicionReporte(archivo, def, error)) {
        Avisa(error);
        return QString();
    }
    QString condicion;
    if (!CondicionDeSeleccion(pedido.formulaSeleccion, condicion)) {
        Avisa(QStringLiteral("La fórmula de selección del reporte no es válida: ") + pedido.formulaSeleccion);
        return QString();
    }

    // The rows. The data-access object reports its own errors.
    std::vector<std::vector<QString>> filas;
    ado::RecordsetPtr rs;
    data::DB_Dll& db = data::gDBPrincipal();
    db.AbrirRecordset(ConsultaReporte(def, condicion), rs);
    if (!rs || rs->State() != ado::adStateOpen) return QString();
    try {
        while (!rs->Eof()) {
            std::vector<QString> fila;
            for (const auto& c : def.columnas) fila.push_back(TextoCelda(rs->Fields(c.campo).Value(), c));
            filas.push_back(std::move(fila));
            rs->MoveNext();
        }
    } catch (const vb::Error& e) {
        db.CierraRecordset(rs);
        Avisa(QStringLiteral("No se pudo leer el reporte ") + pedido.reporte + QStringLiteral(": ") + e.description());
        return QString();
    }
    db.CierraRecordset(rs);

    // The user's own temporary folder: never the machine's shared one.
    const QString carpeta = core::gInfoEstacion().CarpetaTemporal();
    const QString pdf = QDir(carpeta).filePath(pedido.reporte + QStringLiteral(".pdf"));
    if (carpeta.isEmpty()) {
        Avisa(QStringLiteral("No se pudo escribir el archivo ") + pdf);
        return QString();
    }
    QPdfWriter writer(pdf);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(96);
    writer.setTitle(def.titulo);
    writer.setCreator(QStringLiteral("Korvane"));
    QPainter p;
    if (!p.begin(&writer)) {
        Avisa(QStringLiteral("No se pudo escribir el archivo ") + pdf);
        return QString();
    }
    const QRect area = writer.pageLayout().paintRectPixels(writer.resolution());
    const int ancho = area.width();
    const int alto = area.height();
    QFont normal(QStringLiteral("Sans"), 9);
    QFont negrita = normal;
    negrita.setBold(true);
    QFont titulo(QStringLiteral("Sans"), 14, QFont::Bold);
    p.setFont(normal);
    const int charW = QFontMetrics(normal).averageCharWidth();
    const int lineH = QFontMetrics(normal).height() + 4;

    // Column positions, scaled down when the columns are wider than the page.
    int total = 0;
    for (const auto& c : def.columnas) total += c.ancho * charW + 8;
    const double escala = total > ancho ? static_cast<double>(ancho) / total : 1.0;
    std::vector<int> xs, ws;
    int x = 0;
    for (const auto& c : def.columnas) {
        const int w = static_cast<int>((c.ancho * charW + 8) * escala);
        xs.push_back(x);
        ws.push_back(w);
        x += w;
    }

    const QString empresa = ValorDeTexto(pedido.textos, QStringLiteral("Empresa"));
    const QString emitido = vb::Now().toQDateTime().toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    int pagina = 0;
    int y = 0;
    auto encabezado = [&] {
        ++pagina;
        y = 0;
        p.setFont(titulo);
        p.drawText(QRect(0, y, ancho, 30), Qt::AlignLeft | Qt::AlignVCenter, def.titulo);
        y += 32;
        p.setFont(normal);
        p.drawText(QRect(0, y, ancho / 2, lineH), Qt::AlignLeft | Qt::AlignVCenter, empresa);
        p.drawText(QRect(ancho / 2, y, ancho / 2, lineH), Qt::AlignRight | Qt::AlignVCenter,
                   emitido + QStringLiteral("   Página ") + QString::number(pagina));
        y += lineH + 4;
        p.setFont(negrita);
        for (size_t i = 0; i < def.columnas.size(); ++i)
            p.drawText(QRect(xs[i] + 2, y, ws[i] - 4, lineH),
                       (def.columnas[i].derecha ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                       def.columnas[i].titulo);
        y += lineH;
        p.drawLine(0, y, ancho, y);
        y += 3;
        p.setFont(normal);
    };
    encabezado();
    for (const auto& fila : filas) {
        if (y + lineH > alto - lineH) {
            writer.newPage();
            encabezado();
        }
        for (size_t i = 0; i < fila.size(); ++i) {
            const QFontMetrics fm(normal);
            p.drawText(QRect(xs[i] + 2, y, ws[i] - 4, lineH),
                       (def.columnas[i].derecha ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter,
                       fm.elidedText(fila[i], Qt::ElideRight, ws[i] - 4));
        }
        y += lineH;
    }
    p.drawLine(0, y + 2, ancho, y + 2);
    p.drawText(QRect(0, y + 4, ancho, lineH), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Registros: ") + QString::number(filas.size()));
    p.end();

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
