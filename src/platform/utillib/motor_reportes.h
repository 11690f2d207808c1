#pragma once
// MotorReportes: the report printer of the library. The report files lie in CarpetaReportes; the
// printing itself is done by the renderer the program installs (SetRenderer), or by a class
// that overrides ImprimeReporte.
#include <QString>
#include <QStringList>
#include <functional>

namespace utillib {

// One print request, as ImprimeReporte receives it.
struct PedidoReporte {
    QString carpeta;  // CarpetaReportes at the time of the call
    QString reporte;  // report name, without folder or extension
    QStringList formulas;
    QString formulaSeleccion;
    QString conexion;    // connection text of the report's data source
    QStringList textos;  // the five optional texts
    QStringList otros;   // the three further texts
};

class MotorReportes {
public:
    using Renderer = std::function<void(const PedidoReporte&)>;

    virtual ~MotorReportes() = default;

    QString CarpetaReportes;

    // Hands the request to the installed renderer; without one nothing is printed.
    virtual void ImprimeReporte(const QString& reporte, const QStringList& formulas, const QString& formulaSeleccion,
                                const QString& conexion, const QString& texto1 = QString(),
                                const QString& texto2 = QString(), const QString& texto3 = QString(),
                                const QString& texto4 = QString(), const QString& texto5 = QString(),
                                const QString& otro1 = QString(), const QString& otro2 = QString(),
                                const QString& otro3 = QString());

    // The program-wide renderer; an empty function removes it.
    static void SetRenderer(Renderer renderer);
};

}  // namespace utillib
