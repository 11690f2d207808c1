#include "core/frm_configura.h"

#include "core/mod_global.h"
#include "platform/utillib/info_estacion.h"
#include "platform/vb/app.h"
#include "platform/vb/on_error.h"

#include <QFileInfo>
#include <QIcon>
#include <QWidget>

namespace core {

namespace {

// The form's class name without its namespace.
QString NombreTipo(const QWidget* formulario) {
    const QString nombre = QString::fromLatin1(formulario->metaObject()->className());
    const qsizetype p = nombre.lastIndexOf(QStringLiteral("::"));
    return p < 0 ? nombre : nombre.mid(p + 2);
}

}  // namespace

void ConfiguraFormulario(QWidget* Formulario) {
    vb::OnError on = vb::OnError::SkipAll();
    on.run([&] {
        const QIcon recurso(QStringLiteral(":/ICONBRONTAL"));
        if (!recurso.isNull() && !recurso.availableSizes().isEmpty()) Formulario->setWindowIcon(recurso);
    });
    on.run([&] {
        if (Formulario->windowIcon().isNull() && QFileInfo::exists(QStringLiteral("brontal.ico"))) {
            Formulario->setWindowIcon(QIcon(QStringLiteral("brontal.ico")));
        }
    });
    if (NombreTipo(Formulario).compare(QStringLiteral("FRMMDI"), Qt::CaseInsensitive) == 0) return;
    on.run([&] { gInfoEstacion().ConfiguraMDI(Formulario); });
    for (const char* barra : {"UtilZel1", "TBarRep1", "Util0011"}) {
        on.run([&] {
            if (QObject* control = Formulario->findChild<QObject*>(QString::fromLatin1(barra))) {
                control->setProperty("StyleBar", gFlatToolbars);
            }
        });
    }
    on.run([] { vb::DoEvents(); });
}

}  // namespace core
