#pragma once
// InfoEstacion: what the library knows of the workstation.
//
// The temporary folder is the user's own, as on the desktops the program comes from: the folder
// TEMP, TMP or TMPDIR names (the first one set), else a folder of the program's in the user's
// cache folder ($XDG_CACHE_HOME, else ~/.cache: "korvane", so it outlives the session), else in the
// user's runtime folder ($XDG_RUNTIME_DIR). A folder of the program's is created with mode 0700,
// and one found with wider permissions is brought back to 0700; one another user owns is passed
// over. Never the machine's shared /tmp unless a variable names it.
//
//   const QString carpeta = gInfoEstacion().CarpetaTemporal();   // "" when there is none
//   utillib::CarpetaPropia propia(carpeta);   // opened once; propia(): no other user can write it
#include <QString>
#include <optional>
#include <sys/stat.h>
#include <sys/types.h>

class QWidget;

namespace utillib {

class InfoEstacion {
public:
    QString NombrePC() const;         // the computer's host name
    QString NombreUsuario() const;    // the user logged on to the workstation
    // The temporary folder, without a trailing separator; "" when no folder of the user's can be
    // had (no home, no runtime folder, neither can be created).
    QString CarpetaTemporal() const;
    // Gives a window of the program its place among the program's windows: the program's icon,
    // and the program's title when it has none of its own.
    void ConfiguraMDI(QWidget* formulario) const;
};

// Whether no other user can write what was opened (the fstat of its descriptor): it is the user's
// own (EsDelUsuario) and neither its group nor others may write it.
bool SoloDelUsuario(const struct stat& st);

// The user's own folder, opened once: without following a link (O_DIRECTORY | O_NOFOLLOW), and
// checked on what was opened (SoloDelUsuario), so that a folder put in its place after the check is
// never the one used. The files in it are reached through the descriptor (openat, renameat, with
// O_NOFOLLOW) for the same reason: a folder others may write could hold a file planted there.
//
//   utillib::CarpetaPropia carpeta(ruta);
//   if (!carpeta.propia()) return;   // a folder another could write (ajena()), missing, a link, ...
//   const int fd = ::openat(carpeta.fd(), "FrmKorvane01.PRM", O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
class CarpetaPropia {
public:
    explicit CarpetaPropia(const QString& ruta);
    ~CarpetaPropia();
    CarpetaPropia(const CarpetaPropia&) = delete;
    CarpetaPropia& operator=(const CarpetaPropia&) = delete;

    bool propia() const { return fd_ >= 0; }
    // A folder that is there but that another user owns or may write: the program keeps nothing in it.
    bool ajena() const { return ajena_; }
    int fd() const { return fd_; }   // -1 unless propia()

private:
    int fd_ = -1;
    bool ajena_ = false;
};

// Whether a file or folder of this owner is the user's own: the one owner check of the program.
bool EsDelUsuario(uid_t dueno);

// The user the program takes as its own: the effective user, unless another one was named. Only a
// test names one, to meet a file or folder "of another user's" that it could not give away without
// being root; std::nullopt goes back to the effective user.
uid_t UsuarioPropio();
void FijaUsuarioPropio(std::optional<uid_t> usuario);

}  // namespace utillib
