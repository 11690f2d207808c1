#include "platform/utillib/dialogo_comun.h"

#include <QFileDialog>
#include <QStringList>

namespace utillib {

QString DialogoComun::FiltroQt(const QString& filtro) {
    const QStringList partes = filtro.split(u'|');
    QStringList filtros;
    for (qsizetype i = 0; i + 1 < partes.size(); i += 2) {
        QStringList patrones;
        for (const QString& p : partes[i + 1].split(u';', Qt::SkipEmptyParts)) {
            const QString patron = p.trimmed();
            patrones << patron;
            // File names tell letter case apart here while the program's filters are written in
            // one case ("*.MDB"): the lower-case pattern is offered too.
            if (patron.toLower() != patron) patrones << patron.toLower();
        }
        filtros << partes[i].trimmed() + QStringLiteral(" (") + patrones.join(u' ') + u')';
    }
    return filtros.join(QStringLiteral(";;"));
}

void DialogoComun::AbreDialogo(QWidget* padre) {
    if (!previstas_.empty()) {
        const std::optional<QString> eleccion = previstas_.front();
        previstas_.pop_front();
        cancelado_ = !eleccion || eleccion->isEmpty();
        archivo_ = cancelado_ ? QString() : *eleccion;
        return;
    }
    const QString elegido = QFileDialog::getOpenFileName(padre, TituloDialogo, QString(), FiltroQt(FiltroDialogo));
    cancelado_ = elegido.isEmpty();
    archivo_ = elegido;
}

}  // namespace utillib
