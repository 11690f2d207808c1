#pragma once
// One transaction as a scope: begun on construction, committed by Commit(), rolled back when the
// scope is left without a commit (an error on its way out, an early return).
//
//   ado::Transaction tx(*cnn);          // BeginTrans
//   cnn->Execute(first);                // a failure here leaves the scope: rolled back
//   cnn->Execute(second);
//   tx.Commit();                        // CommitTrans; from here on the destructor does nothing
//
// On the embedded provider a transaction begun inside another is a savepoint: its rollback undoes
// only its own work. The three steps can be given as calls (a data-access object that routes its
// transaction calls through a recorder hands its own). A rollback that fails in the destructor is
// swallowed: the error being reported is the one that caused it, and the connection's Errors keep
// what they held before the rollback.
#include "platform/ado/ado.h"

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
        if (errorsOf_) kept = errorsOf_->errors();
        try {
            rollback_();
        } catch (...) {
        }
        if (errorsOf_) errorsOf_->errors() = kept;
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Commits; a failing commit raises, and the destructor then rolls back.
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
