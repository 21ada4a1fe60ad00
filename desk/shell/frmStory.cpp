#include "desk/shell/frmStory.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <algorithm>

#include "desk/ui/WindowProcedures.h"
#include "runtime/Strings.h"

namespace OrbanexDesk {

namespace {
constexpr int kMargin = 4;
constexpr int kPictureSize = 32;
constexpr int kHeaderHeight = 2 * kPictureSize + 3 * kMargin;
constexpr int kEscape = Qt::Key_Escape;
}  // namespace

std::string ExpandCarriageReturns(const std::string& text) {
    return runtime::Replace(text, "\r", "\r\n\r\n");
}

frmStory::frmStory(QWidget* parent) : QWidget(parent) {
    setObjectName("frmStory");
    setWindowTitle("Story");
    setAttribute(Qt::WA_DeleteOnClose);
    picMINI_ = AddPicture("picMINI");
    picAFX_ = AddPicture("picAFX");
    imgFeed_ = AddPicture("imgFeed");
    lblSubject_ = new QLabel(this);
    lblSubject_->setObjectName("lblSubject");
    lblDateTime_ = new QLabel(this);
    lblDateTime_->setObjectName("lblDateTime");
    txtStory_ = new QPlainTextEdit(this);
    txtStory_->setObjectName("txtStory");
    txtStory_->setReadOnly(true);
    txtStory_->installEventFilter(this);
    picMINI_->setGeometry(kMargin, kMargin, kPictureSize, kPictureSize);
    picAFX_->setGeometry(kMargin, 2 * kMargin + kPictureSize, kPictureSize, kPictureSize);
    imgFeed_->setGeometry(2 * kMargin + kPictureSize, kMargin, kPictureSize, kPictureSize);
    resize(480, 360);
    // Load: centred, the text box sized to the form.
    CenterForm(*this);
    FollowSize();
}

QLabel* frmStory::AddPicture(const char* name) {
    auto* picture = new QLabel(this);
    picture->setObjectName(name);
    picture->setFocusPolicy(Qt::StrongFocus);
    picture->installEventFilter(this);
    return picture;
}

void frmStory::keyPressEvent(QKeyEvent* event) {
    if (event->key() == kEscape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmStory::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == kEscape &&
        (watched == txtStory_ || watched == picMINI_ || watched == picAFX_ ||
         watched == imgFeed_)) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frmStory::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FollowSize();
}

void frmStory::FollowSize() {
    const int left = 3 * kMargin + 2 * kPictureSize;
    const int textWidth = std::max(0, width() - left - kMargin);
    lblSubject_->setGeometry(left, 2 * kMargin + kPictureSize, textWidth, kPictureSize / 2);
    lblDateTime_->setGeometry(left, 2 * kMargin + kPictureSize + kPictureSize / 2, textWidth,
                              kPictureSize / 2);
    txtStory_->setGeometry(kMargin, kHeaderHeight, std::max(0, width() - 2 * kMargin),
                           std::max(0, height() - kHeaderHeight - kMargin));
}

}  // namespace OrbanexDesk
