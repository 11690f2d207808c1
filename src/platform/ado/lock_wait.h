#pragma once
// Waiting for another station: a statement that needs what another connection's transaction holds
// (another station's send or receive) waits for it, up to the connection's CommandTimeout.
//
// While it waits, the embedded provider calls the program's listener between short pauses (about
// 10 ms): the window above lets its events through, shows that it waits and for how long, and may
// give the wait up for the operator. The listener is told once the call that waited has ended, however
// it ended. Through ODBC the driver waits inside the server's call and no listener is called.
//
//   class EsperaVentana : public ado::LockWaitListener { ... };
//   EsperaVentana espera;
//   ado::SetLockWaitListener(&espera);      // for as long as a run may wait; nullptr: none
//
// A wait that ends without the lock fails the statement, on both providers alike:
//   ran out     number vb::kHrTimeout, SQL state HYT00, native 1222 (SQL Server's lock time-out);
//               the text names the database held: "La base de la casa central (VOLMA) está tomada
//               por el envío o la recepción de otra estación (se esperó 360 s a que terminara).
//               Vuelva a intentarlo cuando haya terminado."
//   given up    number vb::kHrCanceled, SQL state HY008, native 0: the listener gave it up (the
//               operator's Anular); nothing of the statement was done.
// A transaction in which a statement failed so stays open, as after any statement's failure.
#include "platform/ado/ado.h"

#include <QString>
#include <chrono>
#include <functional>

namespace ado {

// The longest wait: that of a command without a time-out (0), which a server would let wait for
// ever. A station left with its transaction open (a question box unanswered in the middle of a
// voucher) then fails the waiting command instead of holding it.
inline constexpr std::chrono::seconds kLongestLockWait{600};

class LockWaitListener {
public:
    virtual ~LockWaitListener() = default;
    // Between two pauses of a wait: how long it has waited and the most it will. `held` says what
    // is waited for ("la base de la casa central (VOLMA) está tomada por el envío o la recepción de
    // otra estación"; asking costs a look at the file).
    // Returns false to give the wait up. The listener must not use the connection that waits (nor
    // any other: the wait may hold the engine's own lock on the thread); the events it lets through
    // must not either.
    virtual bool Waiting(std::chrono::milliseconds waited, std::chrono::milliseconds bound,
                         const std::function<QString()>& held) = 0;
    // The call that waited has ended (with the lock, or failed).
    virtual void WaitOver() = 0;
};

// The program's listener; nullptr for none (waits just sleep). Returns the one it replaces.
LockWaitListener* SetLockWaitListener(LockWaitListener* listener);

// How the connection's last call met another connection's lock.
enum class LockFailure { None, TimedOut, GivenUp };
LockFailure LockFailureOf(const Errors& errors);
// The same for an error raised: by its number.
LockFailure LockFailureOf(const vb::Error& error);
// Raises (vb::Error) the wait's failure the errors hold; nothing when they hold none. For a caller
// whose statement reports its failure without raising, so that its runner asks about the wait.
void RaiseLockFailure(const Errors& errors);

}  // namespace ado
