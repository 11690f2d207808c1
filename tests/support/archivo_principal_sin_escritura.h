#pragma once
// The main file of an embedded database that cannot be written while its WAL journal can, as an
// immutable file or a disk remounted read-only leaves a connection already open: for the life of
// the object the engine opens every file through a file system of the test's own that passes all
// through to the system's, except the writes into the main file of a database named to refuse()
// (SQLITE_IOERR_WRITE, as the system's EPERM is told). Connections opened before it use the
// system's file system directly: open them after, and close them before it ends.
//   testsupport::ArchivoPrincipalSinEscritura fs;
//   ... open the program's connections ...
//   fs.refuse(ruta, true);    // commits go on into the journal; checkpoints fail
#include <QFileInfo>
#include <QString>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <mutex>
#include <set>
#include <string>

namespace testsupport {

class ArchivoPrincipalSinEscritura {
public:
    ArchivoPrincipalSinEscritura() {
        real_ = sqlite3_vfs_find(nullptr);
        vfs_ = *real_;
        vfs_.iVersion = std::min(real_->iVersion, 3);
        vfs_.szOsFile = static_cast<int>(sizeof(File)) + real_->szOsFile;
        vfs_.zName = "korv-sin-escritura";
        vfs_.pNext = nullptr;
        vfs_.pAppData = this;
        vfs_.xOpen = &Open;
        vfs_.xDelete = [](sqlite3_vfs* v, const char* n, int s) { return Real(v)->xDelete(Real(v), n, s); };
        vfs_.xAccess = [](sqlite3_vfs* v, const char* n, int f, int* o) { return Real(v)->xAccess(Real(v), n, f, o); };
        vfs_.xFullPathname = [](sqlite3_vfs* v, const char* n, int l, char* o) { return Real(v)->xFullPathname(Real(v), n, l, o); };
        vfs_.xDlOpen = [](sqlite3_vfs* v, const char* n) { return Real(v)->xDlOpen(Real(v), n); };
        vfs_.xDlError = [](sqlite3_vfs* v, int l, char* o) { Real(v)->xDlError(Real(v), l, o); };
        vfs_.xDlSym = [](sqlite3_vfs* v, void* h, const char* s) { return Real(v)->xDlSym(Real(v), h, s); };
        vfs_.xDlClose = [](sqlite3_vfs* v, void* h) { Real(v)->xDlClose(Real(v), h); };
        vfs_.xRandomness = [](sqlite3_vfs* v, int l, char* o) { return Real(v)->xRandomness(Real(v), l, o); };
        vfs_.xSleep = [](sqlite3_vfs* v, int us) { return Real(v)->xSleep(Real(v), us); };
        vfs_.xCurrentTime = [](sqlite3_vfs* v, double* t) { return Real(v)->xCurrentTime(Real(v), t); };
        vfs_.xGetLastError = [](sqlite3_vfs* v, int l, char* o) { return Real(v)->xGetLastError(Real(v), l, o); };
        vfs_.xCurrentTimeInt64 = [](sqlite3_vfs* v, sqlite3_int64* t) { return Real(v)->xCurrentTimeInt64(Real(v), t); };
        vfs_.xSetSystemCall = nullptr;   // the system's calls stay the system's
        vfs_.xGetSystemCall = nullptr;
        vfs_.xNextSystemCall = nullptr;
        methods_ = {};
        EXPECT_EQ(sqlite3_vfs_register(&vfs_, 1), SQLITE_OK);
    }
    ~ArchivoPrincipalSinEscritura() {
        sqlite3_vfs_register(real_, 1);
        sqlite3_vfs_unregister(&vfs_);
    }
    ArchivoPrincipalSinEscritura(const ArchivoPrincipalSinEscritura&) = delete;
    ArchivoPrincipalSinEscritura& operator=(const ArchivoPrincipalSinEscritura&) = delete;

    // From now on the main file at `ruta` refuses writes (or takes them again).
    void refuse(const QString& ruta, bool si) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const std::string nombre = QFileInfo(ruta).absoluteFilePath().toStdString();
        if (si) refused_.insert(nombre);
        else refused_.erase(nombre);
    }

private:
    struct File {
        sqlite3_file base;
        sqlite3_file* real;
        ArchivoPrincipalSinEscritura* owner;
        std::string name;   // a main database file's full path; "" for any other file
    };

    static sqlite3_vfs* Real(sqlite3_vfs* v) { return static_cast<ArchivoPrincipalSinEscritura*>(v->pAppData)->real_; }
    static File* F(sqlite3_file* f) { return reinterpret_cast<File*>(f); }
    static sqlite3_file* R(sqlite3_file* f) { return F(f)->real; }

    bool refuses(const File* f) {
        if (f->name.empty()) return false;
        const std::lock_guard<std::mutex> lock(mutex_);
        return refused_.count(f->name) > 0;
    }

    static int Open(sqlite3_vfs* v, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
        auto* self = static_cast<ArchivoPrincipalSinEscritura*>(v->pAppData);
        File* f = F(file);
        new (&f->name) std::string((flags & SQLITE_OPEN_MAIN_DB) && name ? name : "");
        f->owner = self;
        f->real = reinterpret_cast<sqlite3_file*>(f + 1);
        f->base.pMethods = nullptr;
        const int rc = self->real_->xOpen(self->real_, name, f->real, flags, outFlags);
        if (f->real->pMethods) {
            self->wrap(f->real->pMethods);
            f->base.pMethods = &self->methods_;
        } else {
            f->name.~basic_string();
        }
        return rc;
    }

    // The methods of the system's files, all passed through but the writes and truncations.
    void wrap(const sqlite3_io_methods* m) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (methods_.iVersion) return;
        methods_.iVersion = std::min(m->iVersion, 3);
        methods_.xClose = [](sqlite3_file* f) {
            const int rc = R(f)->pMethods->xClose(R(f));
            F(f)->name.~basic_string();
            return rc;
        };
        methods_.xRead = [](sqlite3_file* f, void* b, int n, sqlite3_int64 o) { return R(f)->pMethods->xRead(R(f), b, n, o); };
        methods_.xWrite = [](sqlite3_file* f, const void* b, int n, sqlite3_int64 o) {
            if (F(f)->owner->refuses(F(f))) return SQLITE_IOERR_WRITE;
            return R(f)->pMethods->xWrite(R(f), b, n, o);
        };
        methods_.xTruncate = [](sqlite3_file* f, sqlite3_int64 s) {
            if (F(f)->owner->refuses(F(f))) return SQLITE_IOERR_TRUNCATE;
            return R(f)->pMethods->xTruncate(R(f), s);
        };
        methods_.xSync = [](sqlite3_file* f, int fl) { return R(f)->pMethods->xSync(R(f), fl); };
        methods_.xFileSize = [](sqlite3_file* f, sqlite3_int64* s) { return R(f)->pMethods->xFileSize(R(f), s); };
        methods_.xLock = [](sqlite3_file* f, int l) { return R(f)->pMethods->xLock(R(f), l); };
        methods_.xUnlock = [](sqlite3_file* f, int l) { return R(f)->pMethods->xUnlock(R(f), l); };
        methods_.xCheckReservedLock = [](sqlite3_file* f, int* o) { return R(f)->pMethods->xCheckReservedLock(R(f), o); };
        methods_.xFileControl = [](sqlite3_file* f, int op, void* a) { return R(f)->pMethods->xFileControl(R(f), op, a); };
        methods_.xSectorSize = [](sqlite3_file* f) { return R(f)->pMethods->xSectorSize(R(f)); };
        methods_.xDeviceCharacteristics = [](sqlite3_file* f) { return R(f)->pMethods->xDeviceCharacteristics(R(f)); };
        if (methods_.iVersion >= 2) {
            methods_.xShmMap = [](sqlite3_file* f, int p, int s, int e, void volatile** o) { return R(f)->pMethods->xShmMap(R(f), p, s, e, o); };
            methods_.xShmLock = [](sqlite3_file* f, int o, int n, int fl) { return R(f)->pMethods->xShmLock(R(f), o, n, fl); };
            methods_.xShmBarrier = [](sqlite3_file* f) { R(f)->pMethods->xShmBarrier(R(f)); };
            methods_.xShmUnmap = [](sqlite3_file* f, int d) { return R(f)->pMethods->xShmUnmap(R(f), d); };
        }
        if (methods_.iVersion >= 3) {
            methods_.xFetch = [](sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return R(f)->pMethods->xFetch(R(f), o, n, p); };
            methods_.xUnfetch = [](sqlite3_file* f, sqlite3_int64 o, void* p) { return R(f)->pMethods->xUnfetch(R(f), o, p); };
        }
    }

    sqlite3_vfs* real_ = nullptr;
    sqlite3_vfs vfs_{};
    sqlite3_io_methods methods_{};
    std::mutex mutex_;
    std::set<std::string> refused_;
};

}  // namespace testsupport
