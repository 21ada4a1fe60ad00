#include "desk/ui/frmPriceChanged.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "desk/ui/WindowProcedures.h"

namespace OrbanexDesk {

namespace {
QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QGroupBox* Frame(const char* title, QLabel* label, QWidget* parent) {
    auto* frame = new QGroupBox(QString::fromLatin1(title), parent);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(label);
    return frame;
}
}  // namespace

frmPriceChanged::frmPriceChanged(PriceChangedPresenter& presenter)
    : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      presenter_(presenter),
      lblOrder_(new QLabel(this)),
      lblNewPrice_(new QLabel(this)),
      cmdAccept_(new QPushButton(QStringLiteral("Accept"), this)),
      cmdReject_(new QPushButton(QStringLiteral("Reject"), this)) {
    framOriginal_ = Frame("Original Order", lblOrder_, this);
    framNew_ = Frame("New Price", lblNewPrice_, this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdAccept_);
    buttons->addWidget(cmdReject_);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(framOriginal_);
    layout->addWidget(framNew_);
    layout->addLayout(buttons);
    setMinimumWidth(280);
    connect(cmdAccept_, &QPushButton::clicked, this, [this] { presenter_.cmdAccept_Click(); });
    connect(cmdReject_, &QPushButton::clicked, this, [this] { presenter_.cmdReject_Click(); });
    FixDialogFrame(*this);
    adjustSize();
}

frmPriceChanged::~frmPriceChanged() = default;

DeskServices::PriceChangedFactory frmPriceChanged::Factory() {
    return [](PriceChangedPresenter& presenter) -> std::unique_ptr<IfrmPriceChanged> {
        return std::make_unique<frmPriceChanged>(presenter);
    };
}

void frmPriceChanged::setLblOrder(const std::string& text) {
    lblOrder_->setText(Text(text));
}

void frmPriceChanged::setLblNewPrice(const std::string& text) {
    lblNewPrice_->setText(Text(text));
}

void frmPriceChanged::setCaption(const std::string& text) {
    setWindowTitle(Text(text));
}

void frmPriceChanged::SetTopMost(bool onTop) {
    OrbanexDesk::SetTopMost(*this, onTop);
}

void frmPriceChanged::Hide() {
    hide();
}

void frmPriceChanged::CenterForm() {
    FitAndCenter(*this);
}

// The close box: the presenter answers the order and hides the window.
void frmPriceChanged::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (!isVisible()) return;
    presenter_.Form_QueryUnload();
    presenter_.Form_Unload();
    hide();
}

}  // namespace OrbanexDesk
