#pragma once
// The receive run's state (mov_deposito.cpp), in four small parts that change apart: the run
// itself, the store voucher under way, the administrators' notice and the run's receive log. Each
// is an enum whose allowed transitions are one table here; the run changes a part only through
// Pasa, which asserts the transition:
//
//   marcha_ = receiver::Pasa(marcha_, receiver::Marcha::Anulada);   // EnCurso -> Anulada, asserted
//
// What ties the parts to each other and to the run's objects the run asserts where they change:
// the run is on exactly while its error runner has not left; a voucher's transaction exists only
// while the voucher is EnCurso; the notice is EnComprobante only while that transaction is open;
// the log is Abierto exactly while its file is open.
#include <cassert>
#include <cstddef>

namespace receiver {

// The run. It ends once, for one reason; a database that fails afterwards is still told.
enum class Marcha {
    EnCurso,       // rows are read and posted
    Anulada,       // the operator ended it at a question: the voucher under way is dropped; what was
                   // committed and logged stays, and the notice is sent
    SinEspera,     // ended at a wait for another station the operator gave up: nothing more waits
                   // for that station (the notice is not sent)
    FallaDeBase,   // a database itself failed: told once (one box); nothing more is sent to it
};

// The store voucher under way.
enum class EstadoComprobante {
    Ninguno,     // none: before the first row, between two vouchers, after the last
    EnCurso,     // its rows fill the grid and are posted part by part inside its transaction
    Rechazado,   // every row is logged for one reason: its store, its number, already held
    EnEspera,    // a row names a deposit the head office lacks: nothing is posted, every row logged
    Fallido,     // a part failed: nothing of it stays, every row is logged
};

// The administrators' notice naming the run's log.
enum class Aviso {
    Pendiente,       // not sent: it goes with the run's first logged row, or at the run's end
    EnComprobante,   // sent inside the open voucher's transaction: it stands or falls with it
    Enviado,         // sent, and committed
    Omitido,         // not sent and not tried again: the operator went on without it, or it was
                     // refused (the operator was told once)
};

// The run's receive log. Its file is open exactly while it is Abierto; a closed file does not tell
// the other three apart: whether the run may still open one, or writes no more lines.
enum class Registro {
    SinAbrir,   // no row logged yet: the first one opens the file
    Abierto,    // the run's own file, written line by line
    Ninguno,    // no folder took it (the operator was asked once): rows are counted, not written,
                // and the notice names no file
    Cerrado,    // no more lines: the operator ended the run at a line the file refused (Anular),
                // or the run is over
};

template <class E>
struct Transicion {
    E de;
    E a;
};

// Every change a part may make; any other is a fault of the run.
inline constexpr Transicion<Marcha> kTransicionesMarcha[] = {
    {Marcha::EnCurso, Marcha::Anulada},       {Marcha::EnCurso, Marcha::SinEspera},
    {Marcha::EnCurso, Marcha::FallaDeBase},   {Marcha::Anulada, Marcha::FallaDeBase},   // the notice at the end
    {Marcha::SinEspera, Marcha::FallaDeBase},
};
inline constexpr Transicion<EstadoComprobante> kTransicionesComprobante[] = {
    {EstadoComprobante::Ninguno, EstadoComprobante::EnCurso},     // its first row
    {EstadoComprobante::Ninguno, EstadoComprobante::Ninguno},     // a run that ends between vouchers
    {EstadoComprobante::EnCurso, EstadoComprobante::Rechazado},   // at its first row, or held by another station
    {EstadoComprobante::EnCurso, EstadoComprobante::EnEspera},
    {EstadoComprobante::EnCurso, EstadoComprobante::Fallido},
    {EstadoComprobante::EnCurso, EstadoComprobante::Ninguno},     // committed, or dropped as the run ends
    {EstadoComprobante::Rechazado, EstadoComprobante::Ninguno},
    {EstadoComprobante::EnEspera, EstadoComprobante::Ninguno},
    {EstadoComprobante::Fallido, EstadoComprobante::Ninguno},
};
inline constexpr Transicion<Aviso> kTransicionesAviso[] = {
    {Aviso::Pendiente, Aviso::EnComprobante},   {Aviso::Pendiente, Aviso::Enviado},
    {Aviso::Pendiente, Aviso::Omitido},         {Aviso::EnComprobante, Aviso::Enviado},   // its voucher committed
    {Aviso::EnComprobante, Aviso::Pendiente},   // its voucher rolled back: sent again
};
inline constexpr Transicion<Registro> kTransicionesRegistro[] = {
    {Registro::SinAbrir, Registro::Abierto},
    {Registro::SinAbrir, Registro::Ninguno},
    {Registro::Abierto, Registro::Cerrado},
};

template <class E, std::size_t N>
constexpr bool Permitida(const Transicion<E> (&tabla)[N], E de, E a) {
    for (const Transicion<E>& t : tabla)
        if (t.de == de && t.a == a) return true;
    return false;
}
constexpr bool Permitida(Marcha de, Marcha a) { return Permitida(kTransicionesMarcha, de, a); }
constexpr bool Permitida(EstadoComprobante de, EstadoComprobante a) { return Permitida(kTransicionesComprobante, de, a); }
constexpr bool Permitida(Aviso de, Aviso a) { return Permitida(kTransicionesAviso, de, a); }
constexpr bool Permitida(Registro de, Registro a) { return Permitida(kTransicionesRegistro, de, a); }

// The state that follows `de`; the change must be one of its table.
template <class E>
[[nodiscard]] E Pasa(E de, E a) {
    assert(Permitida(de, a) && "a change of the receive's state its table does not allow");
    (void)de;
    return a;
}

}  // namespace receiver
