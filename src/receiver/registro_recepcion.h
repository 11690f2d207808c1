#pragma once
// The receive log of one run: a file of its own, so that every run's rows are kept and each
// notice to the administrators names the file of its run.
//
//   receiver::RegistroRecepcion log;
//   if (log.Abre({programa, temporal}, QDate(2008, 3, 5))) ...   // err-2008-03-05-1.log, -2, ...
//   log.Escribe(linea);     // UTF-8, CR LF, handed to the system at once (the file is unbuffered):
//                           // a crash of the program keeps it, as the head office keeps what it
//                           // committed
#include <QDate>
#include <QFile>
#include <QString>
#include <QStringList>

namespace receiver {

class RegistroRecepcion {
public:
    // Creates the run's file in the first folder that takes a new one: "err-" & the day received
    // (yyyy-MM-dd) & "-" & the first number from 1 that no file of the folder has & ".log". False
    // when no folder takes it.
    bool Abre(const QStringList& carpetas, const QDate& dia);
    bool abierto() const { return archivo_.isOpen(); }
    const QString& ruta() const { return ruta_; }

    // Writes one line and hands it to the system; raises 75, naming the line, when it is not
    // written whole, and then leaves the file as it was (a step that has no effect until it
    // succeeds). When the file refuses to give back the part it took, the next call takes it back
    // first, and raises 75 without writing while it still cannot: no line follows a partial one.
    void Escribe(const QString& linea);
    void Cierra();

private:
    QFile archivo_;
    QString ruta_;
    qint64 largoSano_ = -1;   // the length a partial line must be cut back to; -1: none owed
};

// The name of a run's log file in its folder.
QString NombreRegistro(const QDate& dia, int numero);

}  // namespace receiver
