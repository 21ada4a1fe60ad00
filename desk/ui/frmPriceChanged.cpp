#include "desk/ui/frmPriceChanged.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "desk/ui/WindowProcedures.h"
#include "platform/widgets/MessageBoxWindow.h"

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

bool PressesAButton(const QKeyEvent& key) {
    switch (key.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space:
        case Qt::Key_Select:
            return true;
        default:
            return false;
    }
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
    for (QPushButton* button : {cmdAccept_, cmdReject_}) {
        platform::widgets::TakeEnterOnce(*button);
        button->installEventFilter(this);
    }
    keysWait_.SetInterval(kKeysAfterShownMs);
    keysWaited_ = keysWait_.Tick.Connect([this] {
        keysWait_.SetEnabled(false);
        takesKeys_ = true;
    });
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

// ---- Keys ----

void frmPriceChanged::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    takesKeys_ = false;
    keysWait_.SetEnabled(false);  // a new showing waits afresh
    keysWait_.SetEnabled(true);
    cmdAccept_->setFocus(Qt::OtherFocusReason);
    // The focus frame is drawn only for a focus the keyboard moved.
    setAttribute(Qt::WA_KeyboardFocusChange);
}

void frmPriceChanged::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    keysWait_.SetEnabled(false);
    takesKeys_ = false;
}

// Esc does what the close box does.
void frmPriceChanged::keyPressEvent(QKeyEvent* event) {
    if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
    event->accept();
    if (takesKeys_ && !event->isAutoRepeat()) close();
}

bool frmPriceChanged::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    return !takesKeys_ && PressesAButton(*static_cast<QKeyEvent*>(event));
}

}  // namespace OrbanexDesk
