#include "platform/utillib/info_estacion.h"

#include "platform/vb/app.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace utillib {

namespace {

// The user named by FijaUsuarioPropio; -1 when none is.
std::atomic<long long> gUsuarioFijado{-1};

// The home folder: HOME, else the user's entry in the password file.
QString Inicio() {
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home)) return home;
    if (const passwd* pw = getpwuid(geteuid()); pw && pw->pw_dir) return QFile::decodeName(pw->pw_dir);
    return QString();
}

// The program's folder inside `base` (created when missing, the folders above it as well), made
// 0700; "" when it cannot be made or is not the user's.
QString CarpetaDelPrograma(const QString& base) {
    if (!QDir::isAbsolutePath(base)) return QString();
    const QString carpeta = QDir::cleanPath(base + u'/' + vb::App().exeName);
    const QByteArray ruta = QFile::encodeName(carpeta);
    if (!QDir().mkpath(base)) return QString();
    if (::mkdir(ruta.constData(), 0700) != 0 && errno != EEXIST) return QString();
    // Checked and closed again on what was opened, never by its name a second time.
    const int fd = ::open(ruta.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return QString();
    struct stat st {};
    const bool propia = ::fstat(fd, &st) == 0 && EsDelUsuario(st.st_uid) &&
                        ((st.st_mode & 07777) == 0700 || ::fchmod(fd, 0700) == 0);
    ::close(fd);
    if (!propia) return QString();
    return carpeta;
}

}  // namespace

QString InfoEstacion::NombrePC() const { return QSysInfo::machineHostName(); }

QString InfoEstacion::NombreUsuario() const {
    for (const char* variable : {"USER", "LOGNAME", "USERNAME"}) {
        const QString v = qEnvironmentVariable(variable);
        if (!v.isEmpty()) return v;
    }
    if (const passwd* pw = getpwuid(getuid())) return QString::fromLocal8Bit(pw->pw_name);
    return QString();
}

QString InfoEstacion::CarpetaTemporal() const {
    for (const char* variable : {"TEMP", "TMP", "TMPDIR"}) {
        const QString v = qEnvironmentVariable(variable).trimmed();
        if (!v.isEmpty()) return QDir::cleanPath(v);
    }
    QString cache = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!QDir::isAbsolutePath(cache)) {
        const QString home = Inicio();
        cache = home.isEmpty() ? QString() : home + QStringLiteral("/.cache");
    }
    for (const QString& base : {cache, qEnvironmentVariable("XDG_RUNTIME_DIR")}) {
        const QString carpeta = CarpetaDelPrograma(base);
        if (!carpeta.isEmpty()) return carpeta;
    }
    return QString();
}

bool SoloDelUsuario(const struct stat& st) { return EsDelUsuario(st.st_uid) && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0; }

CarpetaPropia::CarpetaPropia(const QString& ruta) {
    if (ruta.isEmpty()) return;
    const int fd = ::open(QFile::encodeName(ruta).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode) && SoloDelUsuario(st)) {
        fd_ = fd;
        return;
    }
    ajena_ = true;
    ::close(fd);
}

CarpetaPropia::~CarpetaPropia() {
    if (fd_ >= 0) ::close(fd_);
}

bool EsDelUsuario(uid_t dueno) { return dueno == UsuarioPropio(); }

uid_t UsuarioPropio() {
    const long long fijado = gUsuarioFijado.load();
    return fijado >= 0 ? static_cast<uid_t>(fijado) : ::geteuid();
}

void FijaUsuarioPropio(std::optional<uid_t> usuario) { gUsuarioFijado.store(usuario ? static_cast<long long>(*usuario) : -1); }

}  // namespace utillib
