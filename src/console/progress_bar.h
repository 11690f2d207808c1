#pragma once
// Draws the progress strip of FrmStatus: the bar from the left edge to the percentage, in
// &HFF0000 (blue, the colour being BGR), with the percentage centred over it.
namespace console {

class PictureBox;

void DibujaBarra(PictureBox& box, double percent, bool clearOnly = false);

}  // namespace console
