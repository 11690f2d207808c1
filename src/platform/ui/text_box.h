#pragma once
// TextBox: a text box the program drives through its properties: the in-cell editor of a grid,
// laid over the current cell while the operator types. It holds no widget; a view shows it in a
// QLineEdit over the grid's view.
//
//   ui::TextBox edit(QStringLiteral("TxtEdit2"));
//   edit.DataField = QStringLiteral("IdArticulo");   // the field the column is
//   edit.MaxLength = 25;                              // 0: no limit
//   edit.Tag = QStringLiteral("v_ma_articulos");      // where the column's values come from
//   edit.Move(grid.Left() + grid.CellLeft(), grid.Top() + grid.CellTop(), grid.CellWidth(), grid.CellHeight());
//   edit.SetVisible(true);
//
// MaxLength limits what the operator types; a text set by the program is kept whole.
#include <QString>

#include <functional>
#include <memory>

namespace ui {

class TextBox {
public:
    explicit TextBox(QString name = QString());
    ~TextBox();
    TextBox(const TextBox&) = delete;
    TextBox& operator=(const TextBox&) = delete;

    // The control's name; TextPropiedades chooses the column table by it.
    const QString& Name() const { return name_; }

    // Plain properties, read by whoever shows the box when it changes.
    QString DataField;
    int MaxLength = 0;
    QString Tag;

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    const QString& Text() const { return text_; }
    void SetText(const QString& text);
    int SelStart() const { return selStart_; }
    void SetSelStart(int position);   // kept between 0 and the text's length

    // Place and size in the window, twips.
    long Left() const { return left_; }
    long Top() const { return top_; }
    long Width() const { return width_; }
    long Height() const { return height_; }
    void Move(long left, long top, long width, long height);

    // Asks the view for the keyboard focus; without a view nothing happens.
    void SetFocus();

    // What a view hears: any property changed, or the focus asked for.
    enum class Change { Properties, Focus };
    void SetListener(std::function<void(Change)> listener) { listener_ = std::move(listener); }
    // Alive while the box is: views hold it weakly.
    std::weak_ptr<int> Token() const { return token_; }

    // The view reports what the operator typed; the program is not told again.
    void SetTextFromView(const QString& text, int selStart);

private:
    void notify(Change change) const;
    QString name_;
    bool visible_ = true;
    QString text_;
    int selStart_ = 0;
    long left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::function<void(Change)> listener_;
    std::shared_ptr<int> token_;
};

}  // namespace ui
