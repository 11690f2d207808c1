#include "platform/ui/text_box.h"

#include <algorithm>

namespace ui {

TextBox::TextBox(QString name) : name_(std::move(name)), token_(std::make_shared<int>(0)) {}
TextBox::~TextBox() = default;

void TextBox::notify(Change change) const {
    if (listener_) listener_(change);
}

void TextBox::SetVisible(bool visible) {
    visible_ = visible;
    notify(Change::Properties);
}

void TextBox::SetText(const QString& text) {
    text_ = text;
    selStart_ = std::min(selStart_, static_cast<int>(text_.size()));
    notify(Change::Properties);
}

void TextBox::SetSelStart(int position) {
    selStart_ = std::clamp(position, 0, static_cast<int>(text_.size()));
    notify(Change::Properties);
}

void TextBox::Move(long left, long top, long width, long height) {
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    notify(Change::Properties);
}

void TextBox::SetFocus() { notify(Change::Focus); }

void TextBox::SetTextFromView(const QString& text, int selStart) {
    text_ = text;
    selStart_ = std::clamp(selStart, 0, static_cast<int>(text_.size()));
}

}  // namespace ui
