#pragma once
// An editable combo box over the headless platform::ComboBox store: what code
// writes to the store shows; the operator's pick and typing write the store,
// which raises the desk's Click and Change. The store must outlive the view.
#include <QComboBox>

#include "platform/ComboBox.h"
#include "runtime/Event.h"

namespace platform::widgets {

class ComboBox : public QComboBox {
public:
    explicit ComboBox(platform::ComboBox& store, QWidget* parent = nullptr);
    ~ComboBox() override;

    platform::ComboBox& Store() const { return store_; }

private:
    void ShowItems();
    void ShowText();

    platform::ComboBox& store_;
    bool syncing_ = false;
    runtime::ScopedConnection items_;
    runtime::ScopedConnection change_;
    runtime::ScopedConnection click_;
};

}  // namespace platform::widgets
