#pragma once
// One transaction as a scope: begun on construction, committed by Commit(), rolled back when the
// scope is left without a commit (an error on its way out, an early return).
//
//   ado::Transaction tx(*cnn);          // BeginTrans
//   cnn->Execute(first);                // a failure here leaves the scope: rolled back
//   cnn->Execute(second);
//   tx.Commit();                        // CommitTrans; from here on the destructor does nothing
//
// Nested, on both providers: a transaction begun inside another is a savepoint of it. Its
// rollback undoes its own work only, and the outer transaction goes on; its commit hands its work
// to the outer one, which commits or rolls back the whole. A transaction the engine rolled back
// by itself (a full disk, an I/O error) is doomed at every level: nothing more runs in it, each
// scope's rollback is taken, and the outermost ends it (see "Transactions" in ado.h).
//
// The three steps can be given as calls (a data-access object that routes its transaction calls
// through a recorder hands its own). A rollback that fails in the destructor is not swallowed: the
// connection's Errors keep what they held before it (the failure being reported, which caused
// the rollback) followed by the rollback's own, and the session rolls back before it runs anything
// else, raising on the next statement while the engine still refuses.
#include "platform/ado/ado.h"
#include "platform/ado/native_errors.h"

#include <functional>

namespace ado {

class Transaction {
public:
    using Step = std::function<void()>;

    explicit Transaction(Connection& cnn)
        : Transaction([&cnn] { cnn.BeginTrans(); }, [&cnn] { cnn.CommitTrans(); }, [&cnn] { cnn.RollbackTrans(); },
                      &cnn) {}
    // begin runs now; commit and rollback are kept for later. errorsOf, when given, has its Errors
    // kept across a rollback made by the destructor.
    Transaction(Step begin, Step commit, Step rollback, Connection* errorsOf = nullptr)
        : commit_(std::move(commit)), rollback_(std::move(rollback)), errorsOf_(errorsOf) {
        begin();
        open_ = true;
    }
    ~Transaction() {
        if (!open_) return;
        open_ = false;
        Errors kept;
        if (errorsOf_) {
            kept = errorsOf_->errors();
            errorsOf_->errors().Clear();
        }
        // The rollback's own errors, as the connection kept them, or else as it raised them.
        auto refused = [&](long number, const QString& text, const QString& source) {
            if (!errorsOf_) return;
            const Errors& own = errorsOf_->errors();
            for (int i = 0; i < own.Count(); ++i) kept.add(own.Item(i));
            if (own.Count() == 0) kept.add(ErrorItem{number, text, source, QString(), native::kNone});
        };
        try {
            rollback_();
        } catch (const vb::Error& e) {
            refused(e.number(), e.description(), e.source());
        } catch (...) {
            refused(vb::kHrUnspecified, QStringLiteral("The transaction could not be rolled back."), QString());
        }
        if (errorsOf_) errorsOf_->errors() = kept;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Commits; a failing commit raises and leaves the transaction open: Commit may be called again
    // (a deferred constraint made good meanwhile), or the destructor rolls back.
    void Commit() {
        if (!open_) return;
        commit_();
        open_ = false;
    }
    // Rolls back now, raising what the rollback raises.
    void Rollback() {
        if (!open_) return;
        open_ = false;
        rollback_();
    }
    // Leaves the transaction open for a later statement to end (a script that begins one and
    // commits it in a later batch): the destructor no longer rolls it back.
    void Release() { open_ = false; }
    bool open() const { return open_; }

private:
    Step commit_;
    Step rollback_;
    Connection* errorsOf_;
    bool open_ = false;
};

}  // namespace ado
