#include "desk/shell/ShellListForm.h"

#include "desk/ui/ListProcedures.h"

namespace OrbanexDesk {

namespace {
// The first width a column gets, before the form knows its own width.
constexpr double kInitialColumnTwips = 1200;
}  // namespace

ShellListForm::ShellListForm(const char* formName, const char* listName,
                             std::initializer_list<const char*> captions, std::string widths,
                             BarsBuilt barsBuilt, QWidget* parent)
    : QWidget(parent),
      view_(new platform::widgets::ListView(store_, this)),
      widths_(std::move(widths)),
      barsBuilt_(std::move(barsBuilt)) {
    setObjectName(formName);
    view_->setObjectName(listName);
    for (const char* caption : captions) view_->AddColumn(caption, kInitialColumnTwips);
}

// The view follows the store, so it goes first (children outlive members).
ShellListForm::~ShellListForm() {
    delete view_;
}

void ShellListForm::Form_Resize() {
    if (barsBuilt_ && !barsBuilt_()) return;
    if (laidOut_ && ListWidthTwips(*view_) > kNarrowestSizedList) {
        const std::string current = GetColumnWidths(*view_);
        if (!current.empty()) widths_ = current;
    }
    view_->setGeometry(ListArea());
    ApplyColumnWidths(*view_, widths_, &cache_);
    if (ListWidthTwips(*view_) > kNarrowestSizedList) laidOut_ = true;
}

void ShellListForm::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void ShellListForm::AddAndRemoveRow() {
    store_.Add("", "");
    store_.Remove(store_.Count());
}

}  // namespace OrbanexDesk
