#pragma once
// A prompter for fault-injection tests: gives one answer to every Reintentar/Omitir/Anular
// question and OK to every other box, keeps what each box said, and counts the questions. A step
// that fails on every attempt would be asked about for ever: past 50 questions it answers Anular,
// so the count tells the fault. An optional mend runs before each Reintentar is given (the
// failing step then succeeds when it runs again).
//   testsupport::Responde responde(vb::kIgnore);
//   ... run the procedure ...
//   EXPECT_EQ(responde.preguntas, 1);
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"

#include <QStringList>
#include <functional>
#include <utility>

namespace testsupport {

class Responde : public ui::Prompter {
public:
    explicit Responde(int respuesta, std::function<void()> arregla = {})
        : respuesta_(respuesta), arregla_(std::move(arregla)), anterior_(&ui::CurrentPrompter()) {
        ui::SetPrompter(this);
    }
    ~Responde() override { ui::SetPrompter(anterior_); }
    Responde(const Responde&) = delete;
    Responde& operator=(const Responde&) = delete;

    int msgBox(const QString& prompt, int buttons, const QString& title) override {
        cajas << title + u':' + prompt;
        if ((buttons & 0x0F) != ui::vbAbortRetryIgnore) return vb::kOk;
        if (++preguntas >= kMaximo) return vb::kAbort;
        if (respuesta_ == vb::kRetry && arregla_) arregla_();
        return respuesta_;
    }
    QString inputBox(const QString&, const QString&, const QString&) override { return QString(); }

    static constexpr int kMaximo = 50;
    QStringList cajas;    // "title:prompt" of every box shown
    int preguntas = 0;    // the error questions asked

private:
    int respuesta_;
    std::function<void()> arregla_;
    ui::Prompter* anterior_;
};

}  // namespace testsupport
