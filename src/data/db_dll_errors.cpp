// DB_Dll: the error treatment of the voucher side. The box, the answer and the log line are the
// program's one error question (utillib::PreguntaError); this object adds its own log file.
#include "data/db_dll.h"

#include "platform/utillib/error_box.h"

namespace data {

int DB_Dll::TratamientoErrores(const vb::Error& CodErr, std::optional<int> Botones,
                               const std::optional<QString>& Rutina) {
    // gLogErr, when set, is the full path of the log; otherwise XKERR.LOG in the program folder.
    return utillib::PreguntaError(CodErr, Botones, Rutina, gLogErr);
}

}  // namespace data
