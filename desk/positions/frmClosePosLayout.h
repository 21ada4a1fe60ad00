#pragma once
// The close-positions pane's layout, shared by the panes laid out like it: a bar
// of symbol label, symbol list, check box and label-button over a grid that
// fills the rest of the form.
#include <optional>

class QWidget;

namespace OrbanexDesk {

struct ClosePaneControls {
    QWidget& Label2;
    QWidget& Symbols;
    QWidget& chkAllClients;
    QWidget& LblCheck;
    QWidget& MSH;
};

// Places the controls in `form` and answers the grid's width in twips for its
// columns; nothing moves, and nullopt comes back, while the shell squeezes the
// form to 15 % of its width or height or less.
std::optional<double> LayOutClosePane(QWidget& form, const ClosePaneControls& controls);

}  // namespace OrbanexDesk
