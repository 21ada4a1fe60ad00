#pragma once
// The manage-positions form: laid out like the close-positions pane, for acting
// on one symbol's positions over many accounts. It carries only its layout:
// nothing fills its grid or answers its controls, and no pane or command shows
// it. GUI thread only.
#include <QWidget>

#include "platform/Grid.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace platform::widgets {
class Grid;
class LabelButton;
}  // namespace platform::widgets

namespace OrbanexDesk {

class frmManagePos : public QWidget {
public:
    explicit frmManagePos(QWidget* parent = nullptr);
    ~frmManagePos() override;

    // Stored only: the form is neither shown nor closed by it.
    bool Displayed() const { return Displayed_; }
    void setDisplayed(bool value) { Displayed_ = value; }

    platform::Grid& MSH() { return MSH_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void Form_Load();

    bool Displayed_ = true;
    platform::Grid MSH_{2, 4};
    QLabel* Label2_;
    QComboBox* Combo1_;
    QCheckBox* chkAllClients_;
    platform::widgets::LabelButton* LblCheck_;
    platform::widgets::Grid* MSHView_;
};

}  // namespace OrbanexDesk
