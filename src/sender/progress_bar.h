#pragma once
// The progress strip of FrmStatus: the shared percentage bar in &HFF0000 (blue, the colour
// being BGR) with an empty text, drawn on the strip's surface. clearOnly empties the strip.
namespace sender {

class PictureBox;

void DibujaBarra(PictureBox& box, double percent, bool clearOnly = false);

}  // namespace sender
