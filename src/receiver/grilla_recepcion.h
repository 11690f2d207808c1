#pragma once
// The receive run's voucher grid: the articles grid laid out for store sales, with the widths the
// run shows it at. The run sets it up before the first row and again after each voucher it saves.
//
//   std::unique_ptr<posting::ClsCmnCptes> cpte;            // the window's engine, made on first use
//   if (!receiver::InicializaGrillaRecepcion(cpte, grilla, medida)) ...   // a setting not read
#include <memory>

namespace posting {
class ClsCmnCptes;
}
namespace ui {
class FlexGrid;
class TextMeasurer;
}  // namespace ui

namespace receiver {

// Creates the engine when `cpte` is empty, lays `grilla` out as the articles grid of type "tk"
// (a header row and one empty line), measuring with the window's `ventana`, then hides the
// unit, taxes and total columns and widens the description and the quantity. Errors reach the
// caller. False when a setting of the layout was not read (the operator asked already): nothing
// is laid out.
[[nodiscard]] bool InicializaGrillaRecepcion(std::unique_ptr<posting::ClsCmnCptes>& cpte, ui::FlexGrid& grilla,
                                             const ui::TextMeasurer& ventana);

}  // namespace receiver
