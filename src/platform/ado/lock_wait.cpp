// Waiting for another station: the program's listener, and the failures a wait ends in.
#include "platform/ado/lock_wait.h"

#include "platform/ado/provider.h"

#include <cassert>

namespace ado {

namespace {

LockWaitListener* gListener = nullptr;
thread_local bool tTold = false;        // the listener was told of a wait the current call has not ended
thread_local bool tListening = false;   // inside the listener: a wait met meanwhile is not told
thread_local int tSpans = 0;            // connection calls under way (LockWaitSpan)

const QString kTimedOutState = QStringLiteral("HYT00");
const QString kGivenUpState = QStringLiteral("HY008");

QString Capitalized(QString text) {
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

}  // namespace

LockWaitListener* SetLockWaitListener(LockWaitListener* listener) {
    LockWaitListener* before = gListener;
    gListener = listener;
    return before;
}

LockFailure LockFailureOf(const Errors& errors) {
    for (int i = 0; i < errors.Count(); ++i) {
        const ErrorItem& e = errors.Item(i);
        if (e.NativeError == native::kLockTimeOut && e.SQLState == kTimedOutState) return LockFailure::TimedOut;
        if (e.Number == vb::kHrCanceled && e.SQLState == kGivenUpState) return LockFailure::GivenUp;
    }
    return LockFailure::None;
}

LockFailure LockFailureOf(const vb::Error& error) {
    if (error.number() == vb::kHrTimeout) return LockFailure::TimedOut;
    if (error.number() == vb::kHrCanceled) return LockFailure::GivenUp;
    return LockFailure::None;
}

void RaiseLockFailure(const Errors& errors) {
    for (int i = 0; i < errors.Count(); ++i) {
        const ErrorItem& e = errors.Item(i);
        if (LockFailureOf(vb::Error(e.Number, e.Description)) != LockFailure::None) throw vb::Error(e.Number, e.Description, e.Source);
    }
}

bool ReportLockWait(std::chrono::milliseconds waited, std::chrono::milliseconds bound, const std::function<QString()>& held) {
    if (!gListener || tListening) return true;
    tListening = true;
    tTold = true;
    bool goOn = true;
    try {
        goOn = gListener->Waiting(waited, bound, held);
    } catch (...) {
        // The engine's wait is no place for an error to leave: the wait goes on.
    }
    tListening = false;
    return goOn;
}

LockWaitSpan::LockWaitSpan() { ++tSpans; }

LockWaitSpan::~LockWaitSpan() {
    assert(tSpans > 0);
    if (--tSpans > 0 || !tTold || tListening) return;
    tTold = false;
    if (!gListener) return;
    try {
        gListener->WaitOver();
    } catch (...) {
        // What the listener shows is its own: the call's outcome stands.
    }
}

QString HeldText(const QStringList& held) {
    return held.join(QStringLiteral(" y ")) +
           (held.size() > 1 ? QStringLiteral(" están tomadas") : QStringLiteral(" está tomada")) +
           QStringLiteral(" por el envío o la recepción de otra estación");
}

ProviderError LockTimedOut(const QStringList& held, std::optional<std::chrono::milliseconds> waited) {
    QString text = HeldText(held);
    if (waited) {
        const long long seconds = (waited->count() + 500) / 1000;   // to the nearest second
        text += QStringLiteral(" (se esperó %1 s a que terminara)").arg(seconds);
    }
    text += QStringLiteral(". Vuelva a intentarlo cuando haya terminado.");
    return ProviderError{vb::kHrTimeout, Capitalized(text), kTimedOutState, native::kLockTimeOut, {}};
}

ProviderError LockWaitGivenUp(const QStringList& held) {
    return ProviderError{vb::kHrCanceled, QStringLiteral("Espera anulada: ") + HeldText(held) + u'.', kGivenUpState, native::kNone, {}};
}

}  // namespace ado
